#include "blocking/FilterSet.h"

#include "platform/BoundedFile.h"

#include <QDir>

#include <vector>

int FilterSet::ruleCount() const
{
    int count = 0;
    for (const ListReport& list : lists)
        count += list.rules;
    return count;
}

int FilterSet::skippedCount() const
{
    int count = 0;
    for (const ListReport& list : lists)
        count += list.skipped;
    return count;
}

QString FilterSet::tooLargeMessage(const QString& name)
{
    return QStringLiteral("The filter list \"%1\" is larger than 50 MiB and was not read.")
        .arg(name);
}

namespace {

struct Gathered
{
    std::vector<NetworkRule> network;
    std::vector<HidingRule> hiding;
};

void readList(const QString& name, const QByteArray& text, Gathered* into,
              QList<FilterSet::ListReport>* reports, const std::atomic_bool* cancelled)
{
    FilterSet::ListReport report;
    report.name = name;
    qsizetype start = 0;
    int lines = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf('\n', start);
        if (end < 0)
            end = text.size();
        const QString line = QString::fromUtf8(text.constData() + start, end - start);
        start = end + 1;
        if ((++lines & 0xFFF) == 0 && cancelled && cancelled->load())
            break;
        FilterLine parsed = FilterRules::parseLine(line);
        switch (parsed.kind) {
        case FilterLine::Kind::Nothing:
            break;
        case FilterLine::Kind::Skipped:
            ++report.skipped;
            break;
        case FilterLine::Kind::Network:
            ++report.rules;
            into->network.push_back(std::move(parsed.network));
            break;
        case FilterLine::Kind::Hiding:
            ++report.rules;
            into->hiding.push_back(std::move(parsed.hiding));
            break;
        }
    }
    reports->append(report);
}

} // namespace

std::shared_ptr<const FilterSet>
FilterSet::fromTexts(const QList<std::pair<QString, QByteArray>>& texts,
                     const std::atomic_bool* cancelled)
{
    auto set = std::make_shared<FilterSet>();
    Gathered gathered;
    for (const auto& [name, text] : texts) {
        if (text.size() > MaxListBytes) {
            ListReport report;
            report.name = name;
            report.message = tooLargeMessage(name);
            set->lists.append(report);
            continue;
        }
        readList(name, text, &gathered, &set->lists, cancelled);
    }
    set->network = NetworkMatcher(std::move(gathered.network));
    set->hiding = ElementHiding(gathered.hiding);
    return set;
}

std::shared_ptr<const FilterSet> FilterSet::fromFolder(const QString& folder,
                                                       const std::atomic_bool* cancelled)
{
    const QDir dir(folder);
    const QStringList names =
        dir.entryList({QStringLiteral("*.txt")}, QDir::Files | QDir::Readable, QDir::Name);
    // One list in memory at a time beside the rules: each is read, then parsed.
    auto set = std::make_shared<FilterSet>();
    Gathered gathered;
    for (const QString& name : names) {
        if (cancelled && cancelled->load())
            break;
        const BoundedFile file = BoundedFile::read(dir.filePath(name), MaxListBytes);
        if (file.status != BoundedFile::Status::Read) {
            ListReport report;
            report.name = name;
            report.message = file.status == BoundedFile::Status::TooLarge
                                 ? tooLargeMessage(name)
                                 : QStringLiteral("The filter list \"%1\" could not be read: %2")
                                       .arg(name, file.error);
            set->lists.append(report);
            continue;
        }
        readList(name, file.bytes, &gathered, &set->lists, cancelled);
    }
    set->network = NetworkMatcher(std::move(gathered.network));
    set->hiding = ElementHiding(gathered.hiding);
    return set;
}

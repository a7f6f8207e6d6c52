#include "bars/BandLayout.h"

#include "platform/Registry.h"
#include "platform/RegistryHive.h"
#include "settings/PVOptions.h"

#include <algorithm>
#include <iterator>

namespace {

const BandState Design[] = {
    {QStringLiteral("Menu"), 0, false},
    {QStringLiteral("Tool"), 0, true},
    {QStringLiteral("Address"), 0, true},
    {QStringLiteral("Links"), 0, false},
};

const QString NameValue = QStringLiteral("Name");
const QString WidthValue = QStringLiteral("Width");
const QString BreakValue = QStringLiteral("Break");

std::optional<qint64> readDWord(const TRegistry& reg, const QString& name)
{
    TRegistry::DataType type{};
    if (!reg.dataType(name, &type) || type != TRegistry::DataType::DWord)
        return std::nullopt;
    try {
        return reg.readInteger(name);
    } catch (const RegistryError&) {
        return std::nullopt;
    }
}

} // namespace

BandLayout BandLayouts::design()
{
    return {std::begin(Design), std::end(Design)};
}

const BandState* BandLayouts::designOf(const QString& name)
{
    const auto found = std::find_if(std::begin(Design), std::end(Design),
                                    [&name](const BandState& band) { return band.name == name; });
    return found == std::end(Design) ? nullptr : &*found;
}

BandLayout BandLayouts::applySaved(BandLayout current, const QList<SavedBand>& saved)
{
    const qsizetype count = std::min(current.size(), saved.size());
    for (qsizetype i = 0; i < count; ++i) {
        const SavedBand& entry = saved.at(i);
        if (!entry.present || !entry.name)
            continue;
        const BandState* design = designOf(*entry.name);
        const auto at = std::find_if(current.begin(), current.end(),
                                     [&entry](const BandState& b) { return b.name == *entry.name; });
        if (!design || at == current.end())
            continue;
        BandState band = *at;
        current.erase(at);
        const bool usableWidth = entry.width && *entry.width > 0 && *entry.width <= MaxWidth;
        band.width = usableWidth ? int(*entry.width) : design->width;
        band.breakBefore = entry.breakFlag ? *entry.breakFlag != 0 : design->breakBefore;
        current.insert(i, band);
    }
    return current;
}

QString BandLayouts::bandsKey()
{
    return TPVOptions::CurrentVersionKey() + QStringLiteral("\\Bands");
}

QList<SavedBand> BandLayouts::readSaved(RegistryHive& hive, int count)
{
    QList<SavedBand> saved;
    TRegistry reg(hive);
    reg.setRootKey(TRegistry::HKEY_CURRENT_USER);
    for (int i = 0; i < count; ++i) {
        SavedBand entry;
        if (reg.openKeyReadOnly(bandsKey() + QStringLiteral("\\Band") + QString::number(i))) {
            entry.present = true;
            TRegistry::DataType type{};
            if (reg.dataType(NameValue, &type) && (type == TRegistry::DataType::String || type == TRegistry::DataType::ExpandString))
                entry.name = reg.readString(NameValue);
            entry.width = readDWord(reg, WidthValue);
            entry.breakFlag = readDWord(reg, BreakValue);
            reg.closeKey();
        }
        saved << entry;
    }
    return saved;
}

BandLayout BandLayouts::LoadBandLayout(RegistryHive& hive, const BandLayout& current)
{
    return applySaved(current, readSaved(hive, int(current.size())));
}

void BandLayouts::SaveBandLayout(RegistryHive& hive, const BandLayout& layout)
{
    TRegistry reg(hive);
    reg.setRootKey(TRegistry::HKEY_CURRENT_USER);
    reg.deleteKey(bandsKey());
    for (qsizetype i = 0; i < layout.size(); ++i) {
        const BandState& band = layout.at(i);
        if (band.name.isEmpty())
            continue;
        if (!reg.openKey(bandsKey() + QStringLiteral("\\Band") + QString::number(i), true))
            throw RegistryError::failedToCreateKey(bandsKey());
        reg.writeString(NameValue, band.name);
        reg.writeInteger(WidthValue, band.width);
        reg.writeInteger(BreakValue, band.breakBefore ? 1 : 0);
        reg.closeKey();
    }
}

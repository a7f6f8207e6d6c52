#include "formfiller/dialogs/MyProfile.h"

#include "integration/VCardParser.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const QLatin1String Notes("vCard.Notes");

} // namespace

TfrmMyProfile::TfrmMyProfile(const QString& path, QWidget* parent,
                             std::function<QString()> chooseCard)
    : QDialog(parent)
    , m_path(path)
    , m_chooseCard(std::move(chooseCard))
{
    setObjectName(QStringLiteral("frmMyProfile"));
    setWindowTitle(QStringLiteral("My Profile"));

    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("lblMessage"));
    m_message->setWordWrap(true);
    m_message->setStyleSheet(QStringLiteral("color: #a00000"));
    m_message->hide();

    m_pages = new QTabWidget(this);
    QFormLayout* forms[2];
    for (const auto& [page, title] : {std::pair{ProfileCard::Page::Personal, "Personal"},
                                      std::pair{ProfileCard::Page::Business, "Business"}}) {
        auto* sheet = new QWidget(m_pages);
        sheet->setObjectName(QStringLiteral("ts") + QLatin1String(title));
        forms[int(page)] = new QFormLayout(sheet);
        m_pages->addTab(sheet, QLatin1String(title));
    }
    for (const ProfileCard::Attribute& a : ProfileCard::attributes()) {
        const QString name = QLatin1String(a.name);
        QFormLayout* form = forms[int(a.page)];
        const QString label = QLatin1String(a.label) + QLatin1Char(':');
        if (name == Notes) {
            m_notes = new QPlainTextEdit(form->parentWidget());
            m_notes->setObjectName(name);
            m_notes->setTabChangesFocus(true);
            m_notes->setFixedHeight(m_notes->fontMetrics().lineSpacing() * 4);
            form->addRow(label, m_notes);
            continue;
        }
        auto* edit = new QLineEdit(form->parentWidget());
        edit->setObjectName(name);
        edit->setMinimumWidth(280);
        m_edits.insert(name, edit);
        form->addRow(label, edit);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* import = new QPushButton(QStringLiteral("&Import from card..."), this);
    import->setObjectName(QStringLiteral("cmdImport"));
    connect(import, &QPushButton::clicked, this, [this] {
        const QString file = chooseFile();
        if (!file.isEmpty())
            importFrom(file);
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_message);
    layout->addWidget(m_pages);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(import);
    bottom->addStretch();
    bottom->addWidget(buttons);
    layout->addLayout(bottom);

    const ProfileStore::Loaded loaded = ProfileStore::load(m_path);
    if (loaded.status == ProfileStore::Status::Damaged) {
        m_damaged = true;
        m_damagedMessage =
            QStringLiteral("Your profile card could not be read: %1\nThe card is kept as a "
                           "copy beside the new one when you click OK.")
                .arg(loaded.error);
        setMessage(m_damagedMessage);
    }
    m_read = loaded.card;
    showCard(loaded.card, true);
}

ProfileCard TfrmMyProfile::card() const
{
    // The card as read, so that what the dialog does not show (a photo, a birthday, the
    // address book's own lines) is written back as it was.
    ProfileCard card = m_read;
    for (auto it = m_edits.cbegin(); it != m_edits.cend(); ++it)
        card.setAttribute(it.key(), it.value()->text().trimmed());
    card.setAttribute(Notes, m_notes->toPlainText());
    return card;
}

void TfrmMyProfile::showCard(const ProfileCard& card, bool replace)
{
    // A display name made from the name's parts shows empty: written back, it would stay
    // when the parts are changed.
    for (auto it = m_edits.cbegin(); it != m_edits.cend(); ++it) {
        if (replace || !card.attribute(it.key()).isEmpty())
            it.value()->setText(card.storedAttribute(it.key()));
    }
    const QString notes = card.attribute(Notes);
    if (replace || !notes.isEmpty())
        m_notes->setPlainText(notes);
}

bool TfrmMyProfile::importFrom(const QString& file)
{
    QFile source(file);
    if (source.size() > VCard::MaxBytes || !source.open(QIODevice::ReadOnly)) {
        setMessage(QStringLiteral("%1 could not be read: %2")
                       .arg(file, source.size() > VCard::MaxBytes
                                      ? QStringLiteral("it is too large.")
                                      : source.errorString()));
        return false;
    }
    const VCardReadResult read = VCard::read(source.read(VCard::MaxBytes + 1));
    if (!read.ok()) {
        setMessage(QStringLiteral("%1 could not be read: %2").arg(file, read.error));
        return false;
    }
    showCard(ProfileCard::fromVCard(read), false);
    setMessage(m_damaged ? m_damagedMessage : QString());
    return true;
}

QString TfrmMyProfile::message() const
{
    return m_message->isHidden() ? QString() : m_message->text();
}

void TfrmMyProfile::accept()
{
    QString error;
    if (m_damaged && QFile::exists(m_path)) {
        if (ProfileStore::setAside(m_path, &error).isEmpty()) {
            setMessage(error);
            return;
        }
        m_damaged = false;
    }
    if (!ProfileStore::save(m_path, card(), &error)) {
        setMessage(QStringLiteral("Your profile could not be written: %1").arg(error));
        return;
    }
    QDialog::accept();
}

void TfrmMyProfile::setMessage(const QString& text)
{
    m_message->setText(text);
    m_message->setVisible(!text.isEmpty());
}

QString TfrmMyProfile::chooseFile()
{
    if (m_chooseCard)
        return m_chooseCard();
    return QFileDialog::getOpenFileName(
        this, QStringLiteral("Import from card"), QString(),
        QStringLiteral("vCard files (*.vcf *.vcard);;Any file (*)"));
}

#include "favorites/dialogs/AddFavoriteDialog.h"

#include "favorites/FavoriteFiles.h"
#include "platform/FolderTree.h"
#include "sidebar/PaneParts.h"
#include "sidebar/SideBarHost.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmAddFavorite::TfrmAddFavorite(const QString& favoritesFolder, const QString& title,
                                 const QString& address, SideBarQuestions& questions,
                                 QWidget* parent)
    : QDialog(parent)
    , m_root(favoritesFolder)
    , m_address(address)
    , m_questions(questions)
{
    setObjectName(QStringLiteral("frmAddFavorite"));
    setWindowTitle(QStringLiteral("Add Favorite"));
    auto* intro = new QLabel(QStringLiteral("Pelvane will add this page to your Favorites."), this);
    auto* shownAddress = new QLabel(address, this);
    shownAddress->setTextFormat(Qt::PlainText);
    shownAddress->setTextInteractionFlags(Qt::TextSelectableByMouse);
    shownAddress->setWordWrap(true);
    m_name = new QLineEdit(FavoriteFiles::safeName(title.isEmpty() ? address : title), this);
    m_name->setObjectName(QStringLiteral("edtName"));
    m_name->setMaxLength(FavoriteFiles::MaxNameChars);
    m_tree = new FolderTree(this);
    m_tree->setObjectName(QStringLiteral("shCreateIn"));
    m_tree->setFoldersOnly(true);
    m_tree->setAutoExpand(false);
    // The Favorites folder itself is the first choice, and the one made unless another is.
    m_tree->setRootNode(QStringLiteral("Favorites"));
    m_tree->setRoot(m_root);
    m_tree->setCurrentItem(m_tree->rootNode());
    m_target = new QLabel(this);
    m_target->setTextFormat(Qt::PlainText); // folder names are anyone's to choose
    m_target->setObjectName(QStringLiteral("lblCreateIn"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Address:"), shownAddress);
    form->addRow(QStringLiteral("&Name:"), m_name);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* newFolder =
        buttons->addButton(QStringLiteral("New &Folder..."), QDialogButtonBox::ActionRole);
    newFolder->setObjectName(QStringLiteral("cmdNewFolder"));
    auto* createIn = new QLabel(QStringLiteral("Create &in:"), this);
    createIn->setBuddy(m_tree);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(form);
    layout->addWidget(createIn);
    layout->addWidget(m_tree, 1);
    layout->addWidget(m_target);
    layout->addWidget(buttons);
    resize(420, 400);

    connect(buttons, &QDialogButtonBox::accepted, this, &TfrmAddFavorite::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TfrmAddFavorite::reject);
    connect(newFolder, &QPushButton::clicked, this, &TfrmAddFavorite::newFolder);
    connect(m_tree, &FolderTree::currentItemChanged, this, &TfrmAddFavorite::showTarget);
    showTarget();
}

QString TfrmAddFavorite::targetFolder() const
{
    const QString selected = m_tree->selectedPath();
    return selected.isEmpty() ? m_root : selected;
}

void TfrmAddFavorite::showTarget()
{
    const QString relative = QDir(m_root).relativeFilePath(targetFolder());
    m_target->setText(
        QStringLiteral("Creates it in: Favorites%1")
            .arg(relative == QLatin1String(".") ? QString()
                                                 : QLatin1Char('/') + relative));
}

void TfrmAddFavorite::newFolder()
{
    if (PaneParts::makeFolderIn(targetFolder(), m_questions))
        m_tree->refresh();
}

void TfrmAddFavorite::accept()
{
    const QString name = FavoriteFiles::safeName(m_name->text(), QString());
    if (name.isEmpty()) {
        m_questions.tell(QStringLiteral("Please enter a name for the favorite."));
        return;
    }
    const QString folder = targetFolder();
    if (!QDir().mkpath(folder)) {
        m_questions.tell(QStringLiteral("Cannot make the folder %1.").arg(QDir::toNativeSeparators(folder)));
        return;
    }
    QString error;
    auto result = FavoriteFiles::saveShortcut(folder, name, m_address, false, &error);
    if (result == FavoriteFiles::SaveResult::Exists) {
        if (!m_questions.confirm(
                QStringLiteral("Add Favorite"),
                QStringLiteral("A favorite named \"%1\" is already there. Replace it?").arg(name)))
            return; // the user may choose another name
        result = FavoriteFiles::saveShortcut(folder, name, m_address, true, &error);
    }
    if (result != FavoriteFiles::SaveResult::Saved) {
        m_questions.tell(error);
        return;
    }
    m_saved = QDir(folder).filePath(name + QStringLiteral(".url"));
    QDialog::accept();
}

#include "favorites/dialogs/OrganizeFavoritesDialog.h"

#include "favorites/FavoriteFiles.h"
#include "platform/FolderTree.h"
#include "platform/InternetShortcut.h"
#include "sidebar/PaneParts.h"
#include "sidebar/SideBarHost.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The tree with its entries dragged onto folders: the drop moves the file, and the tree is
// read again rather than rearranged by the view.
class OrganizeTree final : public FolderTree
{
public:
    OrganizeTree(TfrmOrganizeFavorites& dialog, QWidget* parent)
        : FolderTree(parent)
        , m_dialog(dialog)
    {
        setDragEnabled(true);
        setAcceptDrops(true);
        setDropIndicatorShown(true);
        setDragDropMode(QAbstractItemView::DragDrop);
        setDefaultDropAction(Qt::MoveAction);
    }

protected:
    void dragMoveEvent(QDragMoveEvent* event) override
    {
        if (event->source() == this)
            event->acceptProposedAction();
        else
            event->ignore();
    }
    void dropEvent(QDropEvent* event) override
    {
        const QString dragged = selectedPath();
        QTreeWidgetItem* target = nodeAt(event->position().toPoint());
        event->setDropAction(Qt::IgnoreAction); // the model is not to move anything itself
        event->accept();
        if (event->source() == this && !dragged.isEmpty())
            m_dialog.moveByDrop(dragged, target);
    }

private:
    TfrmOrganizeFavorites& m_dialog;
};

} // namespace

TfrmOrganizeFavorites::TfrmOrganizeFavorites(const QString& favoritesFolder,
                                             SideBarQuestions& questions, QWidget* parent)
    : QDialog(parent)
    , m_root(favoritesFolder)
    , m_questions(questions)
{
    setObjectName(QStringLiteral("frmOrganizeFavorites"));
    setWindowTitle(QStringLiteral("Organize Favorites"));
    auto* intro = new QLabel(
        QStringLiteral("To make a new folder, click Create Folder. To rename or delete an item, "
                       "select it and click Rename or Delete. To move it, drag it onto a folder "
                       "or click Move to Folder."),
        this);
    intro->setWordWrap(true);
    m_tree = new OrganizeTree(*this, this);
    m_tree->setObjectName(QStringLiteral("shOrganize"));
    m_tree->setAutoExpand(false);
    QDir().mkpath(m_root);
    m_tree->setRoot(m_root);

    auto* create = new QPushButton(QStringLiteral("&Create Folder"), this);
    m_rename = new QPushButton(QStringLiteral("&Rename"), this);
    m_move = new QPushButton(QStringLiteral("&Move to Folder..."), this);
    m_delete = new QPushButton(QStringLiteral("&Delete"), this);
    m_name = new QLabel(this);
    m_name->setTextFormat(Qt::PlainText); // file names are anyone's to choose
    m_name->setWordWrap(true);
    m_address = new QLineEdit(this);
    m_address->setObjectName(QStringLiteral("edtAddress"));
    auto* addressLabel = new QLabel(QStringLiteral("&Address:"), this);
    addressLabel->setBuddy(m_address);

    auto* side = new QGridLayout;
    side->addWidget(create, 0, 0);
    side->addWidget(m_rename, 0, 1);
    side->addWidget(m_move, 1, 0);
    side->addWidget(m_delete, 1, 1);
    side->addWidget(m_name, 2, 0, 1, 2);
    side->addWidget(addressLabel, 3, 0, 1, 2);
    side->addWidget(m_address, 4, 0, 1, 2);
    side->setRowStretch(5, 1);
    auto* columns = new QHBoxLayout;
    columns->addLayout(side);
    columns->addWidget(m_tree, 1);
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(columns, 1);
    layout->addWidget(close);
    resize(560, 420);

    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(create, &QPushButton::clicked, this, &TfrmOrganizeFavorites::createFolder);
    connect(m_rename, &QPushButton::clicked, this, &TfrmOrganizeFavorites::renameSelected);
    connect(m_move, &QPushButton::clicked, this, [this] { moveSelected(); });
    connect(m_delete, &QPushButton::clicked, this, &TfrmOrganizeFavorites::deleteSelected);
    connect(m_address, &QLineEdit::editingFinished, this, &TfrmOrganizeFavorites::saveAddress);
    connect(m_tree, &FolderTree::currentItemChanged, this, &TfrmOrganizeFavorites::showSelected);
    showSelected();
}

QString TfrmOrganizeFavorites::selectedPath() const
{
    return m_tree->selectedPath();
}

void TfrmOrganizeFavorites::select(const QString& path)
{
    m_tree->refresh();
    // A moved entry's folder may not have been opened yet.
    const QString parent = QFileInfo(path).path();
    if (QTreeWidgetItem* folder = m_tree->nodeOf(parent))
        folder->setExpanded(true);
    if (QTreeWidgetItem* node = m_tree->nodeOf(path))
        m_tree->setCurrentItem(node);
    showSelected();
}

void TfrmOrganizeFavorites::showSelected()
{
    const QString path = selectedPath();
    const bool any = !path.isEmpty();
    const bool shortcut = any && !QFileInfo(path).isDir() &&
                          InternetShortcut::isShortcutName(QFileInfo(path).fileName());
    m_rename->setEnabled(any);
    m_move->setEnabled(any);
    m_delete->setEnabled(any);
    m_address->setEnabled(shortcut);
    m_name->setText(any ? InternetShortcut::displayName(QFileInfo(path).fileName()) : QString());
    m_address->setText(shortcut ? InternetShortcut::readAddress(path) : QString());
    m_address->setModified(false);
}

void TfrmOrganizeFavorites::createFolder()
{
    QString parent = m_root;
    const QString path = selectedPath();
    if (!path.isEmpty())
        parent = QFileInfo(path).isDir() ? path : QFileInfo(path).path();
    if (PaneParts::makeFolderIn(parent, m_questions))
        select(parent);
}

void TfrmOrganizeFavorites::renameSelected()
{
    const QString path = selectedPath();
    if (path.isEmpty())
        return;
    const QString shown = InternetShortcut::displayName(QFileInfo(path).fileName());
    const auto answer =
        m_questions.askText(QStringLiteral("Rename"), QStringLiteral("Enter the new name:"), shown);
    if (!answer || *answer == shown)
        return;
    QString renamed;
    QString error;
    if (!FavoriteFiles::rename(path, answer->trimmed(), &renamed, &error)) {
        m_questions.tell(error);
        return;
    }
    select(renamed);
}

void TfrmOrganizeFavorites::moveSelected(const QString& folder)
{
    const QString path = selectedPath();
    if (path.isEmpty())
        return;
    QString target = folder;
    if (target.isEmpty()) {
        QDialog choose(this);
        choose.setWindowTitle(QStringLiteral("Browse for Folder"));
        auto* label = new QLabel(QStringLiteral("Choose the folder to move \"%1\" to:")
                                     .arg(InternetShortcut::displayName(QFileInfo(path).fileName())),
                                 &choose);
        label->setTextFormat(Qt::PlainText);
        auto* folders = new FolderTree(&choose);
        folders->setFoldersOnly(true);
        folders->setAutoExpand(false);
        folders->setRootNode(QStringLiteral("Favorites"));
        folders->setRoot(m_root);
        folders->setCurrentItem(folders->rootNode());
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &choose);
        auto* layout = new QVBoxLayout(&choose);
        layout->addWidget(label);
        layout->addWidget(folders, 1);
        layout->addWidget(buttons);
        connect(buttons, &QDialogButtonBox::accepted, &choose, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, &choose, &QDialog::reject);
        choose.resize(320, 360);
        if (choose.exec() != QDialog::Accepted)
            return;
        target = folders->selectedPath().isEmpty() ? m_root : folders->selectedPath();
    }
    QString moved;
    QString error;
    if (!FavoriteFiles::moveInto(path, target, &moved, &error)) {
        m_questions.tell(error);
        return;
    }
    select(moved);
}

void TfrmOrganizeFavorites::moveByDrop(const QString& path, QTreeWidgetItem* target)
{
    QString folder = m_root;
    if (target) {
        const QString targetPath = FolderTree::pathOf(target);
        folder = FolderTree::isFolder(target) ? targetPath : QFileInfo(targetPath).path();
    }
    if (QTreeWidgetItem* node = m_tree->nodeOf(path))
        m_tree->setCurrentItem(node);
    moveSelected(folder);
}

void TfrmOrganizeFavorites::deleteSelected()
{
    const QString path = selectedPath();
    if (path.isEmpty())
        return;
    const QString shown = InternetShortcut::displayName(QFileInfo(path).fileName());
    if (!m_questions.confirm(QStringLiteral("Confirm Delete"),
                             QStringLiteral("Are you sure you want to move \"%1\" to the trash?").arg(shown)))
        return;
    if (!QFile::moveToTrash(path)) {
        m_questions.tell(QStringLiteral("Cannot move %1 to the trash.").arg(shown));
        return;
    }
    select(QFileInfo(path).path());
}

void TfrmOrganizeFavorites::saveAddress()
{
    const QString path = selectedPath();
    if (path.isEmpty() || !m_address->isEnabled() || !m_address->isModified())
        return;
    m_address->setModified(false);
    const QString address = m_address->text().trimmed();
    if (address == InternetShortcut::readAddress(path))
        return;
    QString error;
    if (!InternetShortcut::writeAddress(path, address, &error))
        m_questions.tell(QStringLiteral("Cannot change the address: %1").arg(error));
}

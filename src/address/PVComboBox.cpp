#include "address/PVComboBox.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

const QString HttpPrefix = QStringLiteral("http://");

// The combo box's own prefix search: the first entry that begins with `prefix`, letter case
// ignored; -1 for none.
int findPrefix(const QStringList& items, const QString& prefix)
{
    for (int i = 0; i < items.size(); ++i) {
        if (items.at(i).startsWith(prefix, Qt::CaseInsensitive))
            return i;
    }
    return -1;
}

} // namespace

TPVComboBox::TPVComboBox(QWidget* parent)
    : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setDuplicatesEnabled(true);
    setMaxVisibleItems(25);
    // The toolkit gives an editable box a completer of its own; completion here is only
    // ever the chosen style's.
    lineEdit()->setCompleter(nullptr);
}

QStringList TPVComboBox::items() const
{
    QStringList result;
    result.reserve(count());
    for (int i = 0; i < count(); ++i)
        result << itemText(i);
    return result;
}

void TPVComboBox::setItems(const QStringList& items)
{
    // Replacing the list leaves what the box shows alone.
    const QString text = currentText();
    const bool modified = lineEdit()->isModified();
    const QSignalBlocker blocker(this);
    clear();
    addItems(items);
    setCurrentIndex(-1);
    setEditText(text);
    lineEdit()->setModified(modified);
}

std::optional<TPVComboBox::InlineCompletion> TPVComboBox::InlineComplete(const QStringList& items,
                                                                         const QString& typedPrefix)
{
    const int length = int(typedPrefix.size());
    int found = findPrefix(items, typedPrefix);
    if (found >= 0)
        return InlineCompletion{found, items.at(found), length};

    // The entries are usually stored with their scheme while the user types without it.
    // Typing the scheme itself must not look for "http://http...".
    if (length < HttpPrefix.size() && HttpPrefix.left(length) == typedPrefix)
        return std::nullopt;
    found = findPrefix(items, HttpPrefix + typedPrefix);
    if (found < 0)
        return std::nullopt;
    return InlineCompletion{found, items.at(found).mid(HttpPrefix.size()), length};
}

bool TPVComboBox::IsSwallowedCharacter(QChar c)
{
    const char16_t code = c.unicode();
    return code == 13 || code == 10 || code == 16 || code == 17;
}

void TPVComboBox::showPopup()
{
    Q_EMIT DropDown();
    QComboBox::showPopup();
}

void TPVComboBox::hidePopup()
{
    QComboBox::hidePopup();
    Q_EMIT CloseUp();
}

void TPVComboBox::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        event->accept();
        Q_EMIT enterPressed(modifiers & (Qt::ControlModifier | Qt::ShiftModifier));
        return;
    }
    if (key == Qt::Key_Shift || key == Qt::Key_Control) {
        event->accept();
        return;
    }
    const bool plain = !(modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if ((key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
         key == Qt::Key_PageDown) &&
        plain) {
        event->accept();
        if (count() > 0)
            showPopup();
        return;
    }
    const QString text = event->text();
    if (text.size() == 1) {
        const QChar typed = text.at(0);
        if (IsSwallowedCharacter(typed)) {
            event->accept();
            return;
        }
        if (m_style == StyleIE4 && plain && typed.isPrint() && completeInline(typed)) {
            event->accept();
            return;
        }
    }
    QComboBox::keyPressEvent(event);
}

bool TPVComboBox::completeInline(QChar typed)
{
    QLineEdit* edit = lineEdit();
    const int caret = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    const QString prefix = edit->text().left(caret) + typed;
    const auto completion = InlineComplete(items(), prefix);
    if (!completion)
        return false;
    {
        // Showing the entry is not choosing it: nothing opens.
        const QSignalBlocker blocker(this);
        setCurrentIndex(completion->itemIndex);
    }
    edit->setText(completion->text);
    edit->setSelection(completion->selectionStart,
                       int(completion->text.size()) - completion->selectionStart);
    // The user is still typing: reports of the page must not replace the text.
    edit->setModified(true);
    return true;
}

#pragma once

#include <QComboBox>

#include <optional>

// The address box: an editable drop-down whose list is the typed-address list itself (not
// sorted, most recent first). Besides the toolkit's box it
//
// - tells when its drop-down list opens and closes (DropDown, CloseUp);
// - hands Enter to its owner with the modifier keys held (enterPressed), and swallows the
//   key; Ctrl or Shift pressed alone is swallowed as well;
// - never lets the characters 13, 10, 16 and 17 reach the text;
// - in the completion style "IE4", completes the text in place from its own list.
//
// Up and Down open the list rather than stepping through it: stepping would choose each
// entry on the way, and choosing an entry opens it.
class TPVComboBox final : public QComboBox
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TPVComboBox)

public:
    // The completion styles of the setting "AutoCompleteStyle".
    enum Style
    {
        StyleNone = 0,
        StyleIE4 = 1, // inline completion from the list
        StyleIE5 = 2, // the history's completion list (AddressCompleter)
    };

    // What inline completion does with a typed character: the list entry chosen, the text
    // the box then shows, and where the selection starts (it runs to the end of the text).
    struct InlineCompletion
    {
        int itemIndex = -1;
        QString text;
        int selectionStart = 0;

        friend bool operator==(const InlineCompletion&, const InlineCompletion&) = default;
    };

    explicit TPVComboBox(QWidget* parent = nullptr);

    int completionStyle() const { return m_style; }
    void setCompletionStyle(int style) { m_style = style; }

    // The list as strings, in order.
    QStringList items() const;
    void setItems(const QStringList& items);

    // Inline completion of `typedPrefix` (the text before the caret with the typed character
    // appended) from `items`; nothing when the character is to be typed normally.
    static std::optional<InlineCompletion> InlineComplete(const QStringList& items,
                                                          const QString& typedPrefix);
    // The characters that never reach the text.
    static bool IsSwallowedCharacter(QChar c);

    void showPopup() override;
    void hidePopup() override;

Q_SIGNALS:
    void DropDown();
    void CloseUp();
    // Enter was pressed (the key is swallowed); only Ctrl and Shift are reported.
    void enterPressed(Qt::KeyboardModifiers modifiers);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Completes in place for the typed character; true when the character was used up.
    bool completeInline(QChar typed);

    int m_style = StyleIE5;
};

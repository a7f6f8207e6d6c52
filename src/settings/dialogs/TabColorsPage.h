#pragma once

#include "browser/strip/TabColors.h"

#include <QColor>
#include <QWidget>

#include <functional>
#include <optional>

class QFrame;
class QPushButton;
class QRadioButton;
class TPVPageControl;

// The options dialog's "Tab Colors" page: the three schemes, the custom pair with its two
// swatches, and a small page control that shows the inactive colours as they are chosen.
class TabColorsPage final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TabColorsPage)

public:
    // Asks the user for a colour, starting from the given one; nothing when cancelled.
    using ColorChooser = std::function<std::optional<QColor>(const QColor& initial)>;

    explicit TabColorsPage(QWidget* parent = nullptr);

    // "TabColorScheme" as stored: "std", "custom", or anything else for the reversed
    // scheme. The custom pair fills the swatches whatever the scheme, so that choosing
    // custom colours starts from the last ones kept.
    void setScheme(const QString& scheme, TabColors::ColorValue customTab,
                   TabColors::ColorValue customFont);
    // "rev", "std" or "custom" by the checked choice.
    QString scheme() const;
    TabColors::ColorValue customTabColor() const { return m_customTab; }
    TabColors::ColorValue customFontColor() const { return m_customFont; }
    // The inactive colours the checked choice gives.
    TabColors::TabColorPair colors() const;

    TPVPageControl* preview() const { return m_preview; }
    // The colour dialog by default; tests put their own answer here.
    void setColorChooser(ColorChooser chooser) { m_chooser = std::move(chooser); }

private:
    void schemeClicked();
    void chooseColor(TabColors::ColorValue* value);
    void showColors();
    void previewPageChanged();

    TPVPageControl* m_preview = nullptr;
    QRadioButton* m_reverse = nullptr;
    QRadioButton* m_standard = nullptr;
    QRadioButton* m_custom = nullptr;
    QWidget* m_customPanel = nullptr;
    QFrame* m_tabSwatch = nullptr;
    QFrame* m_fontSwatch = nullptr;
    TabColors::ColorValue m_customTab = TabColors::clHighlightText;
    TabColors::ColorValue m_customFont = TabColors::clInactiveCaption;
    ColorChooser m_chooser;
};

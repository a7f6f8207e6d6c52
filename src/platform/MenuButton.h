#pragma once

#include <QToolButton>

// A button that drops its menu at a press, with no arrow beside its text: the entries of the
// menu band and the chevrons of the bands. The arrow is left out of the button's style
// option rather than hidden by a style sheet, which would have the toolkit draw and measure
// the button through its much slower sheet style from then on (a dozen of them cost the
// start about ten milliseconds).
class MenuButton final : public QToolButton
{
public:
    explicit MenuButton(QWidget* parent = nullptr);

protected:
    void initStyleOption(QStyleOptionToolButton* option) const override;
};

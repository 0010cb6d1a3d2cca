#pragma once

#include "app/platform/twips.h"

#include <QGroupBox>

// A frame: an etched rectangle with its caption set into the top edge, drawn
// over the window's own background, whatever the widget style would draw.
class Frame : public Twips<QGroupBox> {
    Q_OBJECT

public:
    explicit Frame(const QString &title, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

#pragma once

#include <QIcon>
#include <QString>
#include <QToolBar>

// Toolbar1: plain push buttons showing an image with the caption below it, no
// tooltips, no gaps. A click hands the button's key to ButtonClick.
class Toolbar : public QToolBar {
    Q_OBJECT

public:
    explicit Toolbar(QWidget* parent = nullptr);
    void addButton(const QString& caption, const QString& key, const QIcon& image);
    // The button with that key, for tests and accessibility checks.
    class QToolButton* button(const QString& key) const;

signals:
    void ButtonClick(const QString& key);
};

#pragma once

#include <QStatusBar>
#include <QString>

#include <vector>

class QLabel;

// StatusBar1: text panels addressed by position from 1, each a label of fixed width.
class StatusBar : public QStatusBar {
    Q_OBJECT

public:
    explicit StatusBar(QWidget* parent = nullptr);
    void addPanel(double widthTwips);
    int panelCount() const { return int(panels_.size()); }
    QString panelText(int position) const;
    void setPanelText(int position, const QString& text);

private:
    std::vector<QLabel*> panels_;
};

#include "platform/StatusBar.h"

#include "platform/Twips.h"

#include <QLabel>
#include <cmath>

StatusBar::StatusBar(QWidget* parent) : QStatusBar(parent)
{
    setSizeGripEnabled(false);
}

void StatusBar::addPanel(double widthTwips)
{
    auto* panel = new QLabel(this);
    const int width = int(std::lround(Twips::toPixelsX(widthTwips)));
    panel->setFixedWidth(width);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    panel->setTextFormat(Qt::PlainText);
    panel->setObjectName(QStringLiteral("Panel%1").arg(panels_.size() + 1));
    addWidget(panel);
    panels_.push_back(panel);
}

QString StatusBar::panelText(int position) const
{
    if (position < 1 || position > panelCount())
        return {};
    return panels_[position - 1]->text();
}

void StatusBar::setPanelText(int position, const QString& text)
{
    if (position < 1 || position > panelCount())
        return;
    panels_[position - 1]->setText(text);
}

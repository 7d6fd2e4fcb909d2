#include "platform/Toolbar.h"

#include <QLayout>
#include <QToolButton>

Toolbar::Toolbar(QWidget* parent) : QToolBar(parent)
{
    setMovable(false);
    setFloatable(false);
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setIconSize(QSize(16, 16));
    setContextMenuPolicy(Qt::PreventContextMenu);
    layout()->setSpacing(0);
    setContentsMargins(0, 0, 0, 0);
    setStyleSheet(QStringLiteral("QToolBar { border: 0px; spacing: 0px; }"));
}

void Toolbar::addButton(const QString& caption, const QString& key, const QIcon& image)
{
    // A plain button rather than an action: an action would show its text as a tooltip.
    auto* button = new QToolButton(this);
    button->setObjectName(key);
    button->setText(caption);
    button->setIcon(image);
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAccessibleName(caption);
    connect(button, &QToolButton::clicked, this, [this, key] { emit ButtonClick(key); });
    addWidget(button);
}

QToolButton* Toolbar::button(const QString& key) const
{
    return findChild<QToolButton*>(key, Qt::FindDirectChildrenOnly);
}

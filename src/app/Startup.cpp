// Start-up, the window's size and place, and the layout rule of the editing area.
#include "app/AppState.h"
#include "platform/RichTextBox.h"
#include "platform/Twips.h"
#include "ui/Form1.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include <cmath>

void Form1::Form_Load(const QStringList& arguments)
{
    CenterForm(*this);
    App.SearchOptions = 0;
    // The whole command-line text is one path: arguments joined with single blanks.
    const QString commandLine = arguments.join(QLatin1Char(' '));
    App.TextChanged = false;
    if (commandLine.isEmpty())
        return;
    if (std::optional<Failure> failure = RichTextBox1->LoadFile(commandLine))
        ShowError(*failure, QStringLiteral("Error"));
}

void Form1::CenterForm(QWidget& FormToCenter)
{
    const QScreen* screen = FormToCenter.screen() ? FormToCenter.screen() : QGuiApplication::primaryScreen();
    const QRect full = screen->geometry();   // the whole screen, panels included
    const double W = Twips::fromPixelsX(full.width());
    const double H = Twips::fromPixelsY(full.height());
    const double width = 0.75 * W;
    const double height = 0.75 * H;
    const double left = (W - width) / 2;
    const double top = (H - height) / 2;
    if (&FormToCenter == this) {
        outerLeft_ = left + Twips::fromPixelsX(full.x());
        outerTop_ = top + Twips::fromPixelsY(full.y());
        outerWidth_ = width;
        outerHeight_ = height;
        outerGeometrySet_ = true;
        applyOuterGeometry();
    } else {
        FormToCenter.move(int(std::lround(Twips::toPixelsX(left))) + full.x(),
                          int(std::lround(Twips::toPixelsY(top))) + full.y());
        FormToCenter.resize(int(std::lround(Twips::toPixelsX(width))), int(std::lround(Twips::toPixelsY(height))));
    }
}

void Form1::applyOuterGeometry()
{
    if (!outerGeometrySet_)
        return;
    // Qt places a window by its frame but sizes it by its client area: take the
    // frame off the outer size once the window manager has told us its size.
    const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    appliedFrame_ = frame;
    const int x = int(std::lround(Twips::toPixelsX(outerLeft_)));
    const int y = int(std::lround(Twips::toPixelsY(outerTop_)));
    const int w = int(std::lround(Twips::toPixelsX(outerWidth_))) - frame.left() - frame.right();
    const int h = int(std::lround(Twips::toPixelsY(outerHeight_))) - frame.top() - frame.bottom();
    move(x, y);
    resize(std::max(w, 1), std::max(h, 1));
}

bool Form1::event(QEvent* event)
{
    const bool handled = QMainWindow::event(event);
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowActivate:
        // The frame becomes known only after the window is mapped.
        if (outerGeometrySet_ && windowHandle() && windowHandle()->frameMargins() != appliedFrame_)
            applyOuterGeometry();
        break;
    default:
        break;
    }
    return handled;
}

void Form1::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    applyLayoutRule();
}

void Form1::applyLayoutRule()
{
    const double outerWidth = Twips::fromPixelsX(frameGeometry().width());
    const double outerHeight = Twips::fromPixelsY(frameGeometry().height());
    RichTextBox1->setLeft(0);
    RichTextBox1->setWidth(std::max(0.0, outerWidth - 75));
    RichTextBox1->setHeight(std::max(0.0, outerHeight - 1600));
}

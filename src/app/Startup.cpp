// Start-up, the window's size and place, and the layout rule of the editing area.
#include "app/Startup.h"

#include "app/AppState.h"
#include "platform/RichTextBox.h"
#include "platform/Twips.h"
#include "ui/Form1.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <cmath>

TwipsRect centeredOnScreen(double screenWidth, double screenHeight)
{
    TwipsRect r;
    r.width = 0.75 * screenWidth;
    r.height = 0.75 * screenHeight;
    // Left and top read the width and height just set.
    r.left = (screenWidth - r.width) / 2;
    r.top = (screenHeight - r.height) / 2;
    return r;
}

TwipsRect editingAreaFor(double outerWidth, double outerHeight)
{
    // A window smaller than the margins gets an empty editing area, never a negative one.
    return TwipsRect{0, 0, std::max(0.0, outerWidth - 75), std::max(0.0, outerHeight - 1600)};
}

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
    const QRect full = screen->geometry(); // the whole screen, panels included
    const TwipsRect r = centeredOnScreen(Twips::fromPixelsX(full.width()), Twips::fromPixelsY(full.height()));
    const double left = r.left + Twips::fromPixelsX(full.x());
    const double top = r.top + Twips::fromPixelsY(full.y());
    if (&FormToCenter == this) {
        outerLeft_ = left;
        outerTop_ = top;
        outerWidth_ = r.width;
        outerHeight_ = r.height;
        outerGeometrySet_ = true;
        applyOuterGeometry();
        return;
    }
    // Another window: its frame is not ours to track, so its client area takes the size.
    FormToCenter.move(int(std::lround(Twips::toPixelsX(left))), int(std::lround(Twips::toPixelsY(top))));
    FormToCenter.resize(int(std::lround(Twips::toPixelsX(r.width))), int(std::lround(Twips::toPixelsY(r.height))));
}

QMargins Form1::frameMarginsNow() const
{
    return windowHandle() ? windowHandle()->frameMargins() : QMargins();
}

void Form1::applyOuterGeometry()
{
    if (!outerGeometrySet_)
        return;
    // A window is placed by its frame but sized by its client area, and the frame is
    // known only once the window manager has framed the window: until then the frame
    // counts as nothing, and the geometry is applied again when it becomes known.
    const QMargins frame = frameMarginsNow();
    appliedFrame_ = frame;
    const int x = int(std::lround(Twips::toPixelsX(outerLeft_)));
    const int y = int(std::lround(Twips::toPixelsY(outerTop_)));
    const int w = int(std::lround(Twips::toPixelsX(outerLeft_ + outerWidth_))) - x - frame.left() - frame.right();
    const int h = int(std::lround(Twips::toPixelsY(outerTop_ + outerHeight_))) - y - frame.top() - frame.bottom();
    resize(std::max(w, 1), std::max(h, 1));
    move(x, y);
    applyLayoutRule();
}

void Form1::followFrameChange()
{
    if (outerGeometrySet_ && frameMarginsNow() != appliedFrame_)
        applyOuterGeometry();
}

bool Form1::event(QEvent* event)
{
    const bool handled = QMainWindow::event(event);
    switch (event->type()) {
    case QEvent::Show:
        if (QWindow* window = windowHandle())
            window->installEventFilter(this);
        followFrameChange();
        break;
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowActivate:
    case QEvent::UpdateRequest: followFrameChange(); break;
    default: break;
    }
    return handled;
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    // The editing area is clamped to the client area: when that changes size on its
    // own (the toolbar or the status bar settling), the rule is applied again.
    if (watched == centralWidget() && event->type() == QEvent::Resize)
        applyLayoutRule();
    // The window system's window learns its frame after it is mapped.
    if (watched == windowHandle() && (event->type() == QEvent::Expose || event->type() == QEvent::Move))
        followFrameChange();
    return QMainWindow::eventFilter(watched, event);
}

void Form1::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    applyLayoutRule();
}

void Form1::applyLayoutRule()
{
    // The outer size is the client area with the frame the window manager draws.
    const QMargins frame = frameMarginsNow();
    const TwipsRect area = editingAreaFor(Twips::fromPixelsX(width() + frame.left() + frame.right()),
                                          Twips::fromPixelsY(height() + frame.top() + frame.bottom()));
    RichTextBox1->setLeft(area.left);
    RichTextBox1->setWidth(area.width);
    RichTextBox1->setHeight(area.height);
}

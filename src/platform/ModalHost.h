#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QDialog;
class QWidget;

// Everything modal that the editor shows goes through a ModalHost: the real one shows
// Qt's dialogs and message boxes, the scripted one (tests) answers from a queue.

enum class MsgButtons { OK, YesNo, YesNoCancel };
enum class MsgIcon { None, Exclamation };
enum class MsgAnswer { OK, Yes, No, Cancel };

struct MessageBoxRequest {
    QString text;        // a lone CR starts a new line on the screen
    QString title;       // empty: the application title "Corvana"
    MsgButtons buttons = MsgButtons::OK;
    MsgIcon icon = MsgIcon::None;
    QString helpFile;    // a Help button is offered only when this is given
    int helpContext = 0;
};

struct FileDialogRequest {
    enum class Kind { Open, Save };
    Kind kind = Kind::Open;
    QStringList nameFilters;   // in Qt's form, "text (*.txt)"
    int selectedFilter = -1;   // index into nameFilters; -1: none
    QString fileName;          // what the name field starts with
};

struct FontDialogRequest {
    QString fontName;
    double fontSize = 8;
    int flags = 0;
};

struct FontChoice {
    QString name;
    double size = 0;
    bool bold = false;
    bool italic = false;
};

class ModalHost {
public:
    virtual ~ModalHost() = default;
    virtual MsgAnswer messageBox(QWidget* parent, const MessageBoxRequest& request) = 0;
    // The chosen path, or nothing when the dialog was cancelled.
    virtual std::optional<QString> fileDialog(QWidget* parent, const FileDialogRequest& request) = 0;
    // The chosen font, or nothing when the dialog was cancelled.
    virtual std::optional<FontChoice> fontDialog(QWidget* parent, const FontDialogRequest& request) = 0;
    // Shows one of the editor's own dialogs (find, about) modally until it closes.
    virtual void execDialog(QDialog& dialog) = 0;
};

// The real thing: Qt's message boxes, file and font dialogs.
class QtModalHost final : public ModalHost {
public:
    MsgAnswer messageBox(QWidget* parent, const MessageBoxRequest& request) override;
    std::optional<QString> fileDialog(QWidget* parent, const FileDialogRequest& request) override;
    std::optional<FontChoice> fontDialog(QWidget* parent, const FontDialogRequest& request) override;
    void execDialog(QDialog& dialog) override;
};

// The message text as the screen shows it: a CR without LF becomes a line break.
QString screenText(const QString& text);

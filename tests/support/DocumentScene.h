#pragma once

// What the tests of opening, saving, new documents and closing share: a real main window
// in a private folder, a user who types and answers, and the expected message boxes.

#include "FormFixture.h"

#include "document/ErrorReport.h"
#include "document/FileStatus.h"
#include "platform/Failure.h"
#include "platform/RichTextBox.h"
#include "platform/StatusBar.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>

#include <sys/stat.h>
#include <unistd.h>

namespace Scene {

inline MessageBoxRequest prompt()
{
    return {QStringLiteral("Do You Want To Save The File"),
            QStringLiteral("Warning! Text Has Changed"),
            MsgButtons::YesNoCancel,
            MsgIcon::Exclamation,
            {},
            0};
}

inline MessageBoxRequest noFileSelected()
{
    return {QStringLiteral("No File Selected"), QStringLiteral("Corvana"), MsgButtons::OK, MsgIcon::None, {}, 0};
}

inline MessageBoxRequest saveWasCanceled()
{
    return {QStringLiteral("Save Was Canceled"), QStringLiteral("Corvana"), MsgButtons::OK, MsgIcon::None, {}, 0};
}

inline MessageBoxRequest characterSetQuestion()
{
    return {QStringLiteral("This document contains characters that cannot be saved in this file's character set. "
                           "They will be saved as question marks. Save anyway?"),
            QStringLiteral("Corvana"),
            MsgButtons::YesNo,
            MsgIcon::Exclamation,
            {},
            0};
}

inline MessageBoxRequest errorBox(int number)
{
    return {errorMessageText(makeFailure(number)), QStringLiteral("Corvana"), MsgButtons::OK, MsgIcon::None, {}, 0};
}

// A message box by a short name: "prompt", "No File Selected", "Save Was Canceled",
// "charset" or "error 76".
inline MessageBoxRequest message(const QString& name)
{
    if (name == QLatin1String("prompt"))
        return prompt();
    if (name == QLatin1String("No File Selected"))
        return noFileSelected();
    if (name == QLatin1String("Save Was Canceled"))
        return saveWasCanceled();
    if (name == QLatin1String("charset"))
        return characterSetQuestion();
    if (name.startsWith(QLatin1String("error ")))
        return errorBox(name.mid(6).toInt());
    qFatal("unknown message %s", qPrintable(name));
}

// Answers by name: "Yes", "No", "Cancel", "OK".
inline MsgAnswer answer(const QString& name)
{
    if (name == QLatin1String("Yes"))
        return MsgAnswer::Yes;
    if (name == QLatin1String("No"))
        return MsgAnswer::No;
    if (name == QLatin1String("OK"))
        return MsgAnswer::OK;
    return MsgAnswer::Cancel;
}

inline QByteArray readBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return file.readAll();
}

// A main window, a private folder for its files, and the user's hands.
struct Desk {
    QTemporaryDir dir;
    FormFixture f;

    Desk() { f.form->show(); }

    QString path(const QString& name) const { return dir.filePath(name); }
    RichTextBox& box() const { return *f.form->RichTextBox1; }
    QString text() const { return box().Text(); }
    QStringList panels() const
    {
        const StatusBar& bar = *f.form->StatusBar1;
        return {bar.panelText(1), bar.panelText(2), bar.panelText(3)};
    }

    // Types at the end of the document, as the user does: the document is changed.
    void type(const QString& keys)
    {
        box().setFocus();
        QTextCursor cursor = box().textCursor();
        cursor.movePosition(QTextCursor::End);
        box().setTextCursor(cursor);
        for (const QChar c : keys) {
            if (c.unicode() < 0x80) {
                QTest::keyClick(&box(), c.toLatin1());
                continue;
            }
            // A character no key of the test keyboard has, as an input method gives it.
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(&box(), &press);
            QApplication::sendEvent(&box(), &release);
        }
    }

    // Queues the user's answers: message boxes by name, file dialogs by file name in
    // the folder ("" cancels; a name starting with / is taken as it is).
    void answer(const QStringList& messages, const QStringList& files = {})
    {
        for (const QString& m : messages)
            f.host.messageAnswers.push_back(Scene::answer(m));
        for (const QString& name : files) {
            if (name.isEmpty())
                f.host.fileAnswers.push_back(std::nullopt);
            else
                f.host.fileAnswers.push_back(name.startsWith(QLatin1Char('/')) ? name : path(name));
        }
    }

    // Opens a file through the open command, answering its dialog.
    void open(const QString& name)
    {
        answer({}, {name});
        f.form->FileOpen();
    }

    QStringList shownTexts() const
    {
        QStringList texts;
        for (const MessageBoxRequest& m : f.host.shownMessages)
            texts << m.text;
        return texts;
    }

    void forgetShown()
    {
        f.host.shownMessages.clear();
        f.host.shownFileDialogs.clear();
    }
};

// Compares every field of the message boxes shown with the ones named.
inline bool sameMessages(const std::vector<MessageBoxRequest>& shown, const QStringList& names, QString* why)
{
    if (shown.size() != std::size_t(names.size())) {
        *why = QStringLiteral("%1 boxes shown, %2 expected").arg(shown.size()).arg(names.size());
        for (const MessageBoxRequest& m : shown)
            *why += QStringLiteral("\n  shown: ") + m.text;
        return false;
    }
    for (qsizetype i = 0; i < names.size(); ++i) {
        const MessageBoxRequest expected = message(names.at(i));
        const MessageBoxRequest& m = shown.at(std::size_t(i));
        if (m.text != expected.text || m.title != expected.title || m.buttons != expected.buttons ||
            m.icon != expected.icon) {
            *why = QStringLiteral("box %1: shown \"%2\" / \"%3\", expected \"%4\" / \"%5\"")
                       .arg(i)
                       .arg(m.text, m.title, expected.text, expected.title);
            return false;
        }
    }
    return true;
}

// The three panels as ShowFileStatus fills them for a file on disk now.
inline QStringList panelsFor(const QString& path)
{
    const QFileInfo info(path);
    return {path, FileStatus::dateText(info.lastModified(), QLocale::system()),
            QString::number(info.size()) + QStringLiteral(" Bytes")};
}

// Runs a block of a test with an unprivileged effective user, so that permission bits
// hold even when the tests run as root. False when that can't be had.
struct Unprivileged {
    bool dropped = false;
    bool ok = true;
    Unprivileged()
    {
        if (::geteuid() != 0)
            return;
        ok = ::setegid(65534) == 0 && ::seteuid(65534) == 0;
        dropped = ok;
    }
    ~Unprivileged()
    {
        if (dropped) {
            [[maybe_unused]] const int u = ::seteuid(0);
            [[maybe_unused]] const int g = ::setegid(0);
        }
    }
};

} // namespace Scene

#define QCOMPARE_MESSAGES(shown, names)                                                                                \
    do {                                                                                                               \
        QString why_;                                                                                                  \
        QVERIFY2(Scene::sameMessages((shown), (names), &why_), qPrintable(why_));                                      \
    } while (false)

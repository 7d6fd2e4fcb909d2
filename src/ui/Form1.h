#pragma once

#include "platform/CommonDialog.h"
#include "platform/Failure.h"
#include "platform/ImageList.h"

#include <QMainWindow>
#include <QMargins>
#include <QStringList>

class ModalHost;
class RichTextBox;
class StatusBar;
class Toolbar;
class QAction;

// The editor's main window. It owns its controls for the whole run; every command is
// one of its operations. Creating it runs the start-up sequence.
class Form1 : public QMainWindow {
    Q_OBJECT

public:
    // `arguments` are the command-line arguments after the program's name.
    explicit Form1(ModalHost& host, const QStringList& arguments = {}, QWidget* parent = nullptr);
    ~Form1() override;

    ModalHost& host() const { return host_; }

    // Controls, in the order they are created.
    ImageList ImageList1;
    Toolbar* Toolbar1 = nullptr;
    CommonDialog CommonDialog1;
    StatusBar* StatusBar1 = nullptr;
    RichTextBox* RichTextBox1 = nullptr;

    // The menu item of each command, by its name ("FileOpen", "EditPaste", ...).
    QAction* menuItem(const QString& name) const;

    // Commands.
    void FileNew();
    void FileOpen();
    void FileSave();
    void FileSaveAs();
    void FilePrint();
    void FileExit();
    void EditCut();
    void EditCopy();
    void EditPaste();
    void SearchFind();
    void SearchAgain();
    void OptionsFont();
    void About();
    void Help();

    // Operations the commands share.
    void OpenFile();
    std::optional<Failure> ShowFileStatus();   // a failure to learn the file's date or size
    bool SaveFile();     // true when the document was written
    bool SaveFileAs();   // true when the document was written
    void CenterForm(QWidget& FormToCenter);
    void ShowError(const Failure& failure, const QString& title);
    void Toolbar1_ButtonClick(const QString& key);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void createMenus();
    // A session that ends (log off, shut down) asks through the closing guard too.
    void guardSessionEnd();
    void Form_Load(const QStringList& arguments);
    void applyLayoutRule();
    void applyOuterGeometry();
    void followFrameChange();            // applies the outer geometry again when the frame changed
    QMargins frameMarginsNow() const;    // the frame the window manager draws, as far as known

    // The unsaved-changes prompt before the document is replaced or the window
    // closes: true when the command may go on.
    enum class OnNo { KeepTextChanged, ClearTextChanged };
    bool offerToSave(OnNo onNo);
    // The Save command: SaveFile under the current name, otherwise SaveFileAs.
    bool saveDocument();
    // Writes the document as its file holds it to the path, which becomes its name.
    bool writeDocument(const QString& path);

    ModalHost& host_;
    // The outer geometry CenterForm chose, in twips; applied once the window manager
    // has told us its frame.
    double outerLeft_ = 0, outerTop_ = 0, outerWidth_ = 0, outerHeight_ = 0;
    bool outerGeometrySet_ = false;
    QMargins appliedFrame_;   // the frame margins the outer geometry was applied with
};

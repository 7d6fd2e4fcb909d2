// The one common-dialog component: its filter list in Qt's form, the file name it keeps
// from one dialog to the next, and how a cancelled dialog is reported.
#include "platform/CommonDialog.h"
#include "platform/ScriptedModalHost.h"

#include <QtTest>

class CommonDialogTest : public QObject {
    Q_OBJECT

private slots:
    void filters_data();
    void filters();
    void fileNameCarriesOver();
    void cancelReporting_data();
    void cancelReporting();
};

void CommonDialogTest::filters_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("qt");
    QTest::newRow("the editor's list") << "text (*.txt)|*.txt|ini (*.ini)|*.ini|all (*.*)|*.*"
                                       << QStringList{"text (*.txt)", "ini (*.ini)", "all (*)"};
    QTest::newRow("description without patterns") << "Text files|*.txt" << QStringList{"Text files (*.txt)"};
    QTest::newRow("several patterns") << "Pictures|*.bmp;*.png" << QStringList{"Pictures (*.bmp *.png)"};
    QTest::newRow("a description naming other patterns gives way")
        << "Docs (*.doc)|*.txt" << QStringList{"Docs (*.txt)"};
    QTest::newRow("a description without a pattern is dropped") << "text|*.txt|lonely" << QStringList{"text (*.txt)"};
    QTest::newRow("empty") << "" << QStringList{};
}

void CommonDialogTest::filters()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, qt);
    QCOMPARE(qtNameFilters(filter), qt);
}

void CommonDialogTest::fileNameCarriesOver()
{
    ScriptedModalHost host;
    CommonDialog dialog(host, nullptr);
    dialog.Filter = QStringLiteral("text (*.txt)|*.txt|all (*.*)|*.*");
    dialog.FilterIndex = 2;
    host.fileAnswers = {QStringLiteral("/tmp/a.txt"), QStringLiteral("/tmp/b.txt"), std::nullopt};
    dialog.ShowOpen();
    QCOMPARE(dialog.FileName, QStringLiteral("/tmp/a.txt"));
    QVERIFY(!dialog.ShowSave());
    QCOMPARE(dialog.FileName, QStringLiteral("/tmp/b.txt"));
    dialog.ShowOpen();
    QCOMPARE(dialog.FileName, QString());

    QCOMPARE(host.shownFileDialogs.size(), std::size_t(3));
    QCOMPARE(host.shownFileDialogs[0].fileName, QString());
    QCOMPARE(host.shownFileDialogs[1].fileName, QStringLiteral("/tmp/a.txt"));
    QCOMPARE(host.shownFileDialogs[1].kind, FileDialogRequest::Kind::Save);
    QCOMPARE(host.shownFileDialogs[2].fileName, QStringLiteral("/tmp/b.txt"));
    QCOMPARE(host.shownFileDialogs[2].selectedFilter, 1);
    QCOMPARE(host.shownFileDialogs[2].nameFilters, (QStringList{"text (*.txt)", "all (*)"}));
}

void CommonDialogTest::cancelReporting_data()
{
    QTest::addColumn<bool>("cancelError");
    QTest::addColumn<bool>("save");
    QTest::addColumn<int>("number"); // 0: no failure
    QTest::newRow("save, cancel reporting on: 32755") << true << true << 32755;
    QTest::newRow("save, cancel reporting off: no failure") << false << true << 0;
    QTest::newRow("open reports a cancel by the empty name only") << true << false << 0;
}

void CommonDialogTest::cancelReporting()
{
    QFETCH(bool, cancelError);
    QFETCH(bool, save);
    QFETCH(int, number);
    ScriptedModalHost host;
    CommonDialog dialog(host, nullptr);
    dialog.CancelError = cancelError;
    dialog.FileName = QStringLiteral("/tmp/before.txt");
    host.fileAnswers = {std::nullopt};
    std::optional<Failure> failure;
    if (save)
        failure = dialog.ShowSave();
    else
        dialog.ShowOpen();
    QCOMPARE(failure ? failure->number : 0, number);
    QCOMPARE(dialog.FileName, QString());
    QVERIFY(host.unexpected.isEmpty());
}

QTEST_MAIN(CommonDialogTest)
#include "tst_commondialog.moc"

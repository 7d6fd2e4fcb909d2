// The editing control's own document layout: it must move the cursor and place the
// text as QTextEdit's own layout does, stay right under lazy layout and edits, re-wrap
// at a new width, and lay out block formats and images.
#include "platform/DocumentLayout.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>

#include <memory>

namespace {

DocumentLayout* install(QTextEdit& edit)
{
    QTextDocument* doc = edit.document();
    const int cursorWidth = edit.cursorWidth();
    auto* layout = new DocumentLayout(doc);
    doc->setDocumentLayout(layout);
    layout->setPaintDevice(edit.viewport());
    layout->setProperty("cursorWidth", cursorWidth);
    layout->setScrollBar(edit.verticalScrollBar());
    return layout;
}

std::unique_ptr<QTextEdit> makeEdit(bool ours, const QString& text, QSize size = {320, 220})
{
    auto edit = std::make_unique<QTextEdit>();
    edit->setFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    edit->setLineWrapMode(QTextEdit::WidgetWidth);
    if (ours)
        install(*edit);
    edit->setPlainText(text);
    edit->resize(size);
    edit->show();
    QApplication::processEvents();
    return edit;
}

// Short and long lines, empty lines and paragraphs that wrap several times.
QString mixedText()
{
    QString text;
    for (int i = 0; i < 40; ++i) {
        switch (i % 5) {
        case 0: text += QStringLiteral("Line %1 short\n").arg(i); break;
        case 1: text += QString(QStringLiteral("wrapping words %1 ").arg(i)).repeated(6) + '\n'; break;
        case 2: text += '\n'; break;
        case 3: text += QStringLiteral("tab\tseparated\tcells %1\n").arg(i); break;
        default: text += QString(QStringLiteral("long paragraph of many words ")).repeated(9) + '\n'; break;
        }
    }
    return text;
}

QString uniformText(int lines, int seed = 0)
{
    QString text;
    text.reserve(lines * 72);
    for (int i = 0; i < lines; ++i) {
        const int len = 20 + (i * 37 + seed) % 110;
        QString line = QStringLiteral("%1 ").arg(i);
        while (line.size() < len)
            line += QStringLiteral("word ");
        text += line.left(len);
        if (i + 1 < lines)
            text += '\n';
    }
    return text;
}

// Lays every block out in order and returns their rectangles.
QList<QRectF> allBlockRects(QTextDocument* doc)
{
    QAbstractTextDocumentLayout* layout = doc->documentLayout();
    for (QTextBlock b = doc->firstBlock(); b.isValid(); b = b.next())
        layout->blockBoundingRect(b);
    QList<QRectF> rects;
    for (QTextBlock b = doc->firstBlock(); b.isValid(); b = b.next())
        rects.append(layout->blockBoundingRect(b));
    return rects;
}

// A fresh document with the same content and settings, fully laid out by a new layout.
QList<QRectF> freshLayoutRects(QTextEdit& edit)
{
    std::unique_ptr<QTextDocument> copy(edit.document()->clone());
    copy->setDefaultFont(edit.document()->defaultFont());
    copy->setDefaultTextOption(edit.document()->defaultTextOption());
    copy->setDocumentMargin(edit.document()->documentMargin());
    auto* layout = new DocumentLayout(copy.get());
    copy->setDocumentLayout(layout);
    layout->setPaintDevice(edit.viewport());
    copy->setPageSize(edit.document()->pageSize());
    return allBlockRects(copy.get());
}

void verifyStacked(const QList<QRectF>& rects, qreal margin)
{
    QVERIFY(!rects.isEmpty());
    QCOMPARE(rects.first().top(), margin);
    for (qsizetype i = 1; i < rects.size(); ++i) {
        if (rects[i].top() != rects[i - 1].bottom())
            QFAIL(qPrintable(QStringLiteral("block %1 starts at %2, the one above ends at %3")
                                 .arg(i)
                                 .arg(rects[i].top())
                                 .arg(rects[i - 1].bottom())));
        QCOMPARE(rects[i].left(), margin);
    }
}

int combo(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    return QKeyCombination(modifiers, key).toCombined();
}

} // namespace

class DocumentLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void keysMoveTheCursorAsWithQtsOwnLayout_data();
    void keysMoveTheCursorAsWithQtsOwnLayout();
    void clicksLandWhereQtsOwnLayoutPutsThem();
    void blockPositionsMatchQtsOwnLayoutForPlainText();
    void lazyLayoutEndsWhereAFullLayoutDoes();
    void aDocumentFilledWithoutAPageSizeIsLaidOutWhenItReturns();
    void editsKeepTheLaterBlocksInPlace_data();
    void editsKeepTheLaterBlocksInPlace();
    void aWidthChangeRewrapsShownBlocksAtOnceAndTheRestWhenIdle();
    void hitTestAtTheCentreOfACursorReturnsItsPosition();
    void hitTestOutsideTheText();
    void blockFormatsAndImagesHaveTheirGeometry();
    void imagesAndFullWidthSelectionsAreDrawn();
    void laidOutLinesStayWithinTheCache();
};

void DocumentLayoutTest::keysMoveTheCursorAsWithQtsOwnLayout_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::newRow("down through wrapped lines") << QList<int>(25, combo(Qt::Key_Down));
    QTest::newRow("down then up again") << (QList<int>(18, combo(Qt::Key_Down)) + QList<int>(12, combo(Qt::Key_Up)));
    QTest::newRow("page down and page up")
        << QList<int>{combo(Qt::Key_PageDown), combo(Qt::Key_PageDown), combo(Qt::Key_PageDown),
                      combo(Qt::Key_PageUp),   combo(Qt::Key_Down),     combo(Qt::Key_PageDown)};
    QTest::newRow("end and home on wrapped lines") << QList<int>{
        combo(Qt::Key_Down), combo(Qt::Key_End),   combo(Qt::Key_Down), combo(Qt::Key_End), combo(Qt::Key_Down),
        combo(Qt::Key_Home), combo(Qt::Key_Right), combo(Qt::Key_Down), combo(Qt::Key_End), combo(Qt::Key_Up)};
    QTest::newRow("ctrl+end, up and page up") << QList<int>{combo(Qt::Key_End, Qt::ControlModifier),
                                                            combo(Qt::Key_Up),
                                                            combo(Qt::Key_Up),
                                                            combo(Qt::Key_PageUp),
                                                            combo(Qt::Key_End),
                                                            combo(Qt::Key_Home, Qt::ControlModifier),
                                                            combo(Qt::Key_Down)};
    QTest::newRow("select down with shift")
        << QList<int>{combo(Qt::Key_Down, Qt::ShiftModifier), combo(Qt::Key_Down, Qt::ShiftModifier),
                      combo(Qt::Key_End, Qt::ShiftModifier), combo(Qt::Key_PageDown, Qt::ShiftModifier)};
    QTest::newRow("typing, a line break, undo and redo") << QList<int>{combo(Qt::Key_Down),
                                                                       combo(Qt::Key_Down),
                                                                       combo(Qt::Key_X),
                                                                       combo(Qt::Key_Y),
                                                                       combo(Qt::Key_Return),
                                                                       combo(Qt::Key_Z),
                                                                       combo(Qt::Key_Up),
                                                                       combo(Qt::Key_Backspace),
                                                                       combo(Qt::Key_Z, Qt::ControlModifier),
                                                                       combo(Qt::Key_Z, Qt::ControlModifier),
                                                                       combo(Qt::Key_Y, Qt::ControlModifier),
                                                                       combo(Qt::Key_Down),
                                                                       combo(Qt::Key_Down)};
}

void DocumentLayoutTest::keysMoveTheCursorAsWithQtsOwnLayout()
{
    QFETCH(QList<int>, keys);
    auto ours = makeEdit(true, mixedText());
    auto theirs = makeEdit(false, mixedText());
    QVERIFY(qobject_cast<DocumentLayout*>(ours->document()->documentLayout()));
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const QKeyCombination key = QKeyCombination::fromCombined(keys[i]);
        QTest::keyClick(ours.get(), key.key(), key.keyboardModifiers());
        QTest::keyClick(theirs.get(), key.key(), key.keyboardModifiers());
        QApplication::processEvents();
        const QString step = QStringLiteral("after key %1").arg(i);
        QVERIFY2(ours->textCursor().position() == theirs->textCursor().position(),
                 qPrintable(step + QStringLiteral(": %1 instead of %2")
                                       .arg(ours->textCursor().position())
                                       .arg(theirs->textCursor().position())));
        QVERIFY2(ours->textCursor().anchor() == theirs->textCursor().anchor(), qPrintable(step));
        QVERIFY2(ours->cursorRect() == theirs->cursorRect(), qPrintable(step));
    }
    QCOMPARE(ours->toPlainText(), theirs->toPlainText());
}

void DocumentLayoutTest::clicksLandWhereQtsOwnLayoutPutsThem()
{
    auto ours = makeEdit(true, mixedText());
    auto theirs = makeEdit(false, mixedText());
    for (int scroll : {0, 1}) {
        if (scroll) {
            // Far down, where the view has scrolled past blocks never drawn.
            QTest::keyClick(ours.get(), Qt::Key_End, Qt::ControlModifier);
            QTest::keyClick(theirs.get(), Qt::Key_End, Qt::ControlModifier);
            QApplication::processEvents();
            QCOMPARE(ours->verticalScrollBar()->value(), theirs->verticalScrollBar()->value());
        }
        // Lines are 16 pixels from y 4 on; these rows never fall on the edge between
        // two lines, where the two layouts may choose either.
        for (int y = 7; y < ours->viewport()->height(); y += 10) {
            for (int x : {1, 17, 60, 151, 230, 305}) {
                QTest::mouseClick(ours->viewport(), Qt::LeftButton, {}, QPoint(x, y));
                QTest::mouseClick(theirs->viewport(), Qt::LeftButton, {}, QPoint(x, y));
                QVERIFY2(ours->textCursor().position() == theirs->textCursor().position(),
                         qPrintable(QStringLiteral("click at %1,%2: %3 instead of %4")
                                        .arg(x)
                                        .arg(y)
                                        .arg(ours->textCursor().position())
                                        .arg(theirs->textCursor().position())));
                QTest::qWait(0);
            }
        }
    }
}

void DocumentLayoutTest::blockPositionsMatchQtsOwnLayoutForPlainText()
{
    auto ours = makeEdit(true, mixedText());
    auto theirs = makeEdit(false, mixedText());
    const QList<QRectF> mine = allBlockRects(ours->document());
    const QList<QRectF> reference = allBlockRects(theirs->document());
    QCOMPARE(mine.size(), reference.size());
    for (qsizetype i = 0; i < mine.size(); ++i) {
        QVERIFY2(mine[i].topLeft() == reference[i].topLeft() && mine[i].height() == reference[i].height(),
                 qPrintable(QStringLiteral("block %1").arg(i)));
    }
    QCOMPARE(ours->document()->documentLayout()->documentSize(), theirs->document()->documentLayout()->documentSize());
}

void DocumentLayoutTest::lazyLayoutEndsWhereAFullLayoutDoes()
{
    auto edit = makeEdit(true, uniformText(3000));
    // Some blocks in other fonts and with spacing, so that estimates are off.
    QTextCursor cursor(edit->document());
    for (int n : {5, 400, 1500, 2990}) {
        cursor.setPosition(edit->document()->findBlockByNumber(n).position());
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        QTextCharFormat big;
        big.setFontPointSize(22);
        cursor.mergeCharFormat(big);
        QTextBlockFormat spaced;
        spaced.setTopMargin(7);
        spaced.setBottomMargin(5);
        cursor.mergeBlockFormat(spaced);
    }
    // Only some of the blocks are reached: the view, the end, a page here and there.
    QTest::keyClick(edit.get(), Qt::Key_End, Qt::ControlModifier);
    QApplication::processEvents();
    edit->verticalScrollBar()->setValue(edit->verticalScrollBar()->maximum() / 2);
    QApplication::processEvents();
    QTest::keyClick(edit.get(), Qt::Key_PageUp);
    QApplication::processEvents();
    QVERIFY(edit->document()->findBlockByNumber(800).layout()->lineCount() == 0);

    const QList<QRectF> lazy = allBlockRects(edit->document());
    verifyStacked(lazy, edit->document()->documentMargin());
    QCOMPARE(lazy, freshLayoutRects(*edit));
    QCOMPARE(edit->document()->documentLayout()->documentSize().height(),
             lazy.last().bottom() + edit->document()->documentMargin());
}

void DocumentLayoutTest::aDocumentFilledWithoutAPageSizeIsLaidOutWhenItReturns()
{
    // The control takes the page size away while it replaces the whole document.
    auto edit = makeEdit(true, QStringLiteral("old text"));
    QTextDocument* doc = edit->document();
    const QSizeF size = doc->pageSize();
    doc->setPageSize(QSizeF());
    QTextCursor(doc).insertText(uniformText(4000, 3));
    doc->setPageSize(size);
    QApplication::processEvents();

    const QList<QRectF> rects = allBlockRects(doc);
    verifyStacked(rects, doc->documentMargin());
    QCOMPARE(rects, freshLayoutRects(*edit));
    QCOMPARE(doc->documentLayout()->documentSize().height(), rects.last().bottom() + doc->documentMargin());
}

void DocumentLayoutTest::editsKeepTheLaterBlocksInPlace_data()
{
    QTest::addColumn<double>("where"); // share of the document's length
    QTest::addColumn<QString>("insert");
    QTest::addColumn<int>("remove");
    const QString longText = uniformText(300, 7);
    for (const auto& [name, where] : {std::pair{"start", 0.0}, {"middle", 0.5}, {"end", 1.0}}) {
        QTest::addRow("%s: a few characters", name) << where << QStringLiteral("abc") << 0;
        QTest::addRow("%s: a line break", name) << where << QStringLiteral("\n") << 0;
        QTest::addRow("%s: text that wraps", name) << where << QString(QStringLiteral("wrap ")).repeated(60) << 0;
        QTest::addRow("%s: removal across blocks", name) << where << QString() << 500;
        QTest::addRow("%s: many pasted lines", name) << where << longText << 0;
    }
}

void DocumentLayoutTest::editsKeepTheLaterBlocksInPlace()
{
    QFETCH(double, where);
    QFETCH(QString, insert);
    QFETCH(int, remove);
    auto edit = makeEdit(true, uniformText(5000));
    allBlockRects(edit->document());
    QTextCursor cursor(edit->document());
    const int length = edit->document()->characterCount() - 1;
    const int at = std::min(int(length * where), std::max(0, length - remove));
    cursor.setPosition(at);
    cursor.setPosition(std::min(length, at + remove), QTextCursor::KeepAnchor);
    cursor.insertText(insert);
    QApplication::processEvents();

    const QList<QRectF> after = allBlockRects(edit->document());
    verifyStacked(after, edit->document()->documentMargin());
    QCOMPARE(after, freshLayoutRects(*edit));
}

void DocumentLayoutTest::aWidthChangeRewrapsShownBlocksAtOnceAndTheRestWhenIdle()
{
    auto edit = makeEdit(true, uniformText(2000), {900, 300});
    auto* layout = qobject_cast<DocumentLayout*>(edit->document()->documentLayout());
    allBlockRects(edit->document());
    edit->verticalScrollBar()->setValue(edit->verticalScrollBar()->maximum() / 2);
    QApplication::processEvents();
    const QTextBlock shown = edit->cursorForPosition(QPoint(5, 5)).block();
    QCOMPARE(shown.layout()->lineCount(), 1);

    edit->resize(260, 300);
    QApplication::processEvents();
    // The blocks in view are re-wrapped by the paint that follows the resize.
    const QTextBlock top = edit->cursorForPosition(QPoint(5, 5)).block();
    QVERIFY(top.layout()->lineCount() > 1);
    const qreal newWidth = edit->document()->pageSize().width();
    QCOMPARE(newWidth, qreal(edit->viewport()->width()));
    for (int i = 0; i < top.layout()->lineCount(); ++i)
        QVERIFY(top.layout()->lineAt(i).naturalTextWidth() <= newWidth - 2 * edit->document()->documentMargin());

    QTRY_VERIFY(!layout->rewrapPending());
    // Every block whose height was known is known again at the new width, and the text
    // that was in view stays in view.
    const qreal height = layout->documentSize().height();
    const QList<QRectF> reference = freshLayoutRects(*edit);
    QCOMPARE(height, reference.last().bottom() + edit->document()->documentMargin());
    const int topNumber = edit->cursorForPosition(QPoint(5, 5)).block().blockNumber();
    QVERIFY2(std::abs(topNumber - shown.blockNumber()) <= 1,
             qPrintable(QStringLiteral("block %1 at the top instead of %2").arg(topNumber).arg(shown.blockNumber())));
    QCOMPARE(allBlockRects(edit->document()), reference);
}

void DocumentLayoutTest::hitTestAtTheCentreOfACursorReturnsItsPosition()
{
    auto edit = makeEdit(true, QString());
    QTextCursor cursor(edit->document());
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    QTextCharFormat big;
    big.setFontPointSize(18);
    cursor.insertText(QStringLiteral("Plain then "));
    cursor.insertText(QStringLiteral("bold "), bold);
    cursor.insertText(QStringLiteral("and big words that wrap over the line's end again and again"), big);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    cursor.insertBlock(centred, QTextCharFormat());
    cursor.insertText(QStringLiteral("centred line"));
    QTextBlockFormat indented;
    indented.setLeftMargin(25);
    indented.setTextIndent(12);
    indented.setTopMargin(6);
    cursor.insertBlock(indented);
    cursor.insertText(QStringLiteral("indented\twith a tab and enough words to wrap at least once here"));
    cursor.insertBlock(QTextBlockFormat());
    QApplication::processEvents();

    const int end = edit->document()->characterCount() - 1;
    for (int pos = 0; pos <= end; ++pos) {
        QTextCursor c(edit->document());
        c.setPosition(pos);
        const QRect r = edit->cursorRect(c);
        const QPoint centre(r.left() + r.width() / 2, r.top() + r.height() / 2);
        const int hit = edit->document()->documentLayout()->hitTest(
            centre + QPointF(edit->horizontalScrollBar()->value(), edit->verticalScrollBar()->value()), Qt::FuzzyHit);
        // At a wrap, the end of one line and the start of the next are one position.
        QVERIFY2(hit == pos, qPrintable(QStringLiteral("position %1 hit as %2").arg(pos).arg(hit)));
    }
}

void DocumentLayoutTest::hitTestOutsideTheText()
{
    auto edit = makeEdit(true, QStringLiteral("short\nline two\n"));
    QAbstractTextDocumentLayout* layout = edit->document()->documentLayout();
    const QRectF first = layout->blockBoundingRect(edit->document()->firstBlock());
    const int end = edit->document()->characterCount() - 1;
    // A press must always land somewhere: never -1 for a fuzzy hit.
    QCOMPARE(layout->hitTest(QPointF(-50, -50), Qt::FuzzyHit), 0);
    QCOMPARE(layout->hitTest(QPointF(2000, first.center().y()), Qt::FuzzyHit), 5);
    QCOMPARE(layout->hitTest(QPointF(2000, 5000), Qt::FuzzyHit), end);
    QCOMPARE(layout->hitTest(QPointF(first.left() + 1, first.center().y()), Qt::ExactHit), 0);
    QCOMPARE(layout->hitTest(QPointF(250, first.center().y()), Qt::ExactHit), -1);
    QCOMPARE(layout->hitTest(QPointF(10, 5000), Qt::ExactHit), -1);
}

void DocumentLayoutTest::blockFormatsAndImagesHaveTheirGeometry()
{
    auto edit = makeEdit(true, QString(), {400, 400});
    QTextDocument* doc = edit->document();
    QImage red(10, 10, QImage::Format_RGB32);
    red.fill(Qt::red);
    doc->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("red.png")), red);

    QTextCursor cursor(doc);
    const auto block = [&](const QTextBlockFormat& format, const QString& text) {
        if (cursor.position() == 0 && cursor.block().length() == 1)
            cursor.setBlockFormat(format);
        else
            cursor.insertBlock(format);
        cursor.insertText(text);
    };
    QTextBlockFormat centre;
    centre.setAlignment(Qt::AlignHCenter);
    block(centre, QStringLiteral("centre"));
    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    block(right, QStringLiteral("right"));
    QTextBlockFormat indents;
    indents.setLeftMargin(30);
    indents.setRightMargin(20);
    indents.setTextIndent(15);
    block(indents, QString(QStringLiteral("indented words ")).repeated(12));
    QTextBlockFormat spaced;
    spaced.setTopMargin(10);
    spaced.setBottomMargin(6);
    block(spaced, QStringLiteral("spaced"));
    QTextBlockFormat fixed;
    fixed.setLineHeight(30, QTextBlockFormat::FixedHeight);
    block(fixed, QStringLiteral("fixed line height"));
    QTextBlockFormat tabs;
    tabs.setTabPositions({QTextOption::Tab(100, QTextOption::LeftTab)});
    block(tabs, QStringLiteral("a\tb"));
    QTextBlockFormat justified;
    justified.setAlignment(Qt::AlignJustify);
    block(justified, QString(QStringLiteral("justified text ")).repeated(10));
    block(QTextBlockFormat(), QStringLiteral("x"));
    QTextImageFormat image;
    image.setName(QStringLiteral("red.png"));
    image.setWidth(40);
    image.setHeight(25);
    cursor.insertImage(image);
    cursor.insertText(QStringLiteral("y"));
    QApplication::processEvents();

    QAbstractTextDocumentLayout* layout = doc->documentLayout();
    const qreal avail = doc->pageSize().width() - 2 * doc->documentMargin();
    const auto laid = [&](int n) {
        const QTextBlock b = doc->findBlockByNumber(n);
        layout->blockBoundingRect(b);
        return b.layout();
    };
    // Alignment moves the text within its line: cursorToX tells where it stands.
    QTextLine line = laid(0)->lineAt(0);
    QVERIFY(std::abs(line.cursorToX(0) + line.naturalTextWidth() / 2 - avail / 2) <= 1);
    line = laid(1)->lineAt(0);
    QVERIFY(std::abs(line.cursorToX(0) + line.naturalTextWidth() - avail) <= 1);

    QTextLayout* tl = laid(2);
    QVERIFY(tl->lineCount() > 1);
    QCOMPARE(tl->lineAt(0).x(), 45.0);
    QCOMPARE(tl->lineAt(1).x(), 30.0);
    for (int i = 0; i < tl->lineCount(); ++i)
        QVERIFY(tl->lineAt(i).x() + tl->lineAt(i).naturalTextWidth() <= avail - 20 + 0.5);

    tl = laid(3);
    const QRectF spacedRect = layout->blockBoundingRect(doc->findBlockByNumber(3));
    QCOMPARE(tl->lineAt(0).y(), 10.0);
    QCOMPARE(spacedRect.height(), std::ceil(10 + tl->lineAt(0).height() + 6));
    QCOMPARE(layout->blockBoundingRect(doc->findBlockByNumber(4)).top(), spacedRect.bottom());
    QCOMPARE(layout->blockBoundingRect(doc->findBlockByNumber(4)).height(), 30.0);

    tl = laid(5);
    QCOMPARE(tl->lineAt(0).cursorToX(2), 100.0);

    tl = laid(6);
    QVERIFY(tl->lineCount() > 1);
    // Stretched to the edge, all but the last line.
    line = tl->lineAt(0);
    const int lastChar = line.textStart() + line.textLength() - 1; // before the trailing blank
    QVERIFY(std::abs(line.cursorToX(lastChar) - avail) <= 8);
    line = tl->lineAt(tl->lineCount() - 1);
    QVERIFY(line.cursorToX(line.textStart() + line.textLength()) < avail - 20);

    tl = laid(7);
    line = tl->lineAt(0);
    QCOMPARE(line.cursorToX(2) - line.cursorToX(1), 40.0);
    QVERIFY(line.height() >= 25);
    QVERIFY(layout->blockBoundingRect(doc->findBlockByNumber(7)).height() >= 25);
}

void DocumentLayoutTest::imagesAndFullWidthSelectionsAreDrawn()
{
    auto edit = makeEdit(true, QStringLiteral("before\nsecond line\nafter"), {300, 200});
    QTextDocument* doc = edit->document();
    QImage red(8, 8, QImage::Format_RGB32);
    red.fill(Qt::red);
    doc->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("red.png")), red);
    QTextCursor cursor(doc);
    cursor.movePosition(QTextCursor::EndOfBlock);
    QTextImageFormat image;
    image.setName(QStringLiteral("red.png"));
    image.setWidth(30);
    image.setHeight(20);
    cursor.insertImage(image);

    // A current-line highlight: no characters selected, the whole width of the line.
    QTextEdit::ExtraSelection line;
    line.cursor = QTextCursor(doc->findBlockByNumber(1));
    line.format.setBackground(QColor(0, 0, 255));
    line.format.setProperty(QTextFormat::FullWidthSelection, true);
    edit->setExtraSelections({line});
    QApplication::processEvents();

    const QImage shot = edit->viewport()->grab().toImage();
    QTextCursor afterImage(doc);
    afterImage.setPosition(doc->firstBlock().length() - 1);
    const QRect imageEnd = edit->cursorRect(afterImage);
    const QPoint inImage(imageEnd.left() - 15, imageEnd.bottom() - 10);
    QCOMPARE(shot.pixelColor(inImage), QColor(Qt::red));
    const QRect lineRect = edit->cursorRect(line.cursor);
    QCOMPARE(shot.pixelColor(QPoint(edit->viewport()->width() - 10, lineRect.center().y())), QColor(0, 0, 255));
}

void DocumentLayoutTest::laidOutLinesStayWithinTheCache()
{
    auto edit = makeEdit(true, uniformText(4 * DocumentLayout::cacheLimit));
    auto* layout = qobject_cast<DocumentLayout*>(edit->document()->documentLayout());
    const QList<QRectF> first = allBlockRects(edit->document());
    QTRY_VERIFY(layout->cachedBlockCount() <= DocumentLayout::cacheLimit);
    // Blocks that gave up their lines keep their heights, and get their lines back when asked.
    QCOMPARE(allBlockRects(edit->document()), first);
    QVERIFY(edit->document()->firstBlock().layout()->lineCount() > 0);
}

QTEST_MAIN(DocumentLayoutTest)
#include "tst_documentlayout.moc"

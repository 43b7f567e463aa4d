// The frame strip's pictures: made on workers for the cards in view and a
// few around them, a placeholder shown until they come.

#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include "engine/project/frame_cache.h"
#include "gui/app/frame_strip.h"
#include "gui/app/main_window.h"
#include "gui_fixtures.h"

using namespace pelko;
using namespace pelko::test;

class FrameStripTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    std::shared_ptr<FakeDialogs> dialogs_;
    std::unique_ptr<TAVIForm> form_;

    // A window with n frames, each a 20 x 10 picture of its own colour.
    TAVIForm& window(int n)
    {
        dialogs_ = std::make_shared<FakeDialogs>();
        form_ = newProjectWindow(dir_.filePath("settings.ini"), dialogs_, ProjectOptions{});
        QStringList pictures;
        for (int i = 0; i < n; ++i)
            pictures << writePng(dir_.filePath(QString("s%1.png").arg(i)), 20, 10, colour(i));
        form_->addPictures(pictures);
        return *form_;
    }

    static Color colour(int i) { return rgb(std::uint8_t(i * 4), 0x80, std::uint8_t(255 - i * 4)); }

    // What the strip shows at the middle of card i's picture.
    static QRgb middleOfCard(FrameStrip* strip, int i)
    {
        const QPoint at = FrameStrip::cardRect(i).topLeft() +
                          QPoint(1 + kThumbnailWidth / 2, kCardBarHeight + 1 + kThumbnailHeight / 2);
        return strip->grab(QRect(at, QSize(1, 1))).toImage().pixel(0, 0) | 0xFF000000;
    }

    static QRgb shown(Color c) { return qRgb(redOf(c), greenOf(c), blueOf(c)); }

private slots:
    void cleanup() { form_.reset(); }

    void placeholdersThenPicturesForTheCardsInView()
    {
        TAVIForm& form = window(60);
        FrameStrip* strip = form.frameCards();
        form.scrollStripTo(0);
        QCOMPARE(middleOfCard(strip, 0), kCardPlaceholder);  // nothing made while adding
        QTRY_VERIFY(strip->hasPicture(0));
        QCOMPARE(middleOfCard(strip, 0), shown(colour(0)));

        // the cards in view and a few around them, not the whole list
        const int inView = form.frameStrip()->viewport()->height() / kCardStep + 2;
        QTRY_COMPARE(strip->picturesInWork(), 0);
        QTest::qWait(50);
        QCOMPARE(strip->picturesInWork(), 0);
        for (int i = 0; i < inView; ++i) QVERIFY2(strip->hasPicture(i), qPrintable(QString::number(i)));
        QVERIFY(!strip->hasPicture(30));
        QVERIFY(form.project().cache->stats().thumbnails <= inView + kCardsAhead);

        // scrolled to the end: the last cards come, the middle ones never did
        form.scrollStripTo(strip->contentHeight());
        QCOMPARE(middleOfCard(strip, 59), kCardPlaceholder);
        QTRY_VERIFY(strip->hasPicture(59));
        QCOMPARE(middleOfCard(strip, 59), shown(colour(59)));
        QVERIFY(!strip->hasPicture(30));
        QVERIFY(form.project().log.empty());
    }

    // Moving frames asks for no picture again; a source read anew (Refresh)
    // and one that cannot be read show as they are, the problem in the log.
    void picturesFollowTheFramesAndTheirSources()
    {
        TAVIForm& form = window(3);
        FrameStrip* strip = form.frameCards();
        QTRY_VERIFY(strip->hasPicture(0) && strip->hasPicture(1) && strip->hasPicture(2));
        const int made = form.project().cache->stats().thumbnails;
        form.project().selection.selectOnly(0);
        form.applyEnabling();
        act(form, "ActionDown")->trigger();
        QCOMPARE(QFileInfo(QString::fromStdString(form.project().frames[1].File)).fileName(),
                 QString("s0.png"));
        QVERIFY(strip->hasPicture(0) && strip->hasPicture(1));
        QCOMPARE(middleOfCard(strip, 1), shown(colour(0)));
        QCOMPARE(form.project().cache->stats().thumbnails, made);

        writePng(dir_.filePath("s2.png"), 20, 10, 0x0000FF);
        QFile::remove(dir_.filePath("s1.png"));
        act(form, "ActionSelectAll")->trigger();
        act(form, "ActionRefresh")->trigger();
        QTRY_COMPARE(middleOfCard(strip, 2), shown(0x0000FF));
        QCOMPARE(middleOfCard(strip, 0), shown(colour(1)));  // gone: the pixels it had
        QCOMPARE(form.project().log.lines(),
                 std::vector<std::string>{"Not found file: " + dir_.filePath("s1.png").toStdString()});
    }

    // On a 2x screen a card's picture fills the card as the 1x thumbnail
    // does, from more of the picture's pixels: a picture a little larger
    // than the card, and one much larger.
    void cardPicturesFillTheCardAtTwiceTheDensity()
    {
        dialogs_ = std::make_shared<FakeDialogs>();
        form_ = newProjectWindow(dir_.filePath("settings.ini"), dialogs_,
                                 ProjectOptions{.Width = 1000, .Height = 600});
        TAVIForm& form = *form_;
        form.addPictures({writePng(dir_.filePath("mid.png"), 200, 120, 0x204080),
                          writePng(dir_.filePath("big.png"), 1000, 600, 0x204080)});
        FrameStrip* strip = form.frameCards();
        for (int i = 0; i < 2; ++i) {
            const QImage one = strip->cardPicture(i, 1.0);
            const QImage two = strip->cardPicture(i, 2.0);
            QCOMPARE(one.width(), kThumbnailWidth);
            QVERIFY2(std::abs(two.width() / two.devicePixelRatio() - one.width()) < 1,
                     qPrintable(QString("%1 / %2").arg(two.width()).arg(two.devicePixelRatio())));
            QVERIFY2(two.width() > one.width(), qPrintable(QString("card %1").arg(i)));
            // the picture reaches as near the card's left edge as it does at 1x
            const qreal r = two.devicePixelRatio();
            QCOMPARE(one.pixel(4, one.height() / 2), shown(0x204080));
            QCOMPARE(two.pixel(int(4 * r), two.height() / 2), shown(0x204080));
        }
    }
};

QTEST_MAIN(FrameStripTest)
#include "frame_strip_test.moc"

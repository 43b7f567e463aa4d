// The Effects menu's frame commands through the real window: clone, flip and
// convert with their check marks.

#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "engine/project/frame_cache.h"
#include "gui/app/main_window.h"
#include "gui/frames/frame_info_form.h"
#include "gui_fixtures.h"
#include "platform/qt_settings_store.h"

using namespace pelko;
using namespace pelko::test;

class EffectsTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    std::shared_ptr<FakeDialogs> dialogs_;
    std::unique_ptr<TAVIForm> form_;

    // A window with a new 100 x 100 project of n pictures "A", "B", ... of 4 x 2
    // whose left half is red and right half blue.
    TAVIForm& window(int n)
    {
        dialogs_ = std::make_shared<FakeDialogs>();
        form_ = newProjectWindow(dir_.filePath("settings.ini"), dialogs_, ProjectOptions{});
        QStringList pictures;
        for (int i = 0; i < n; ++i) {
            Picture p(4, 2);
            p.fill(0x0000FF);
            for (int x = 2; x < 4; ++x)
                for (int y = 0; y < 2; ++y) p.setPixel(x, y, 0xFF0000);
            const QString path = dir_.filePath(QString(QChar('A' + i)) + ".png");
            writeFile(path.toStdString(), encodePngPicture(p));
            pictures << path;
        }
        form_->addPictures(pictures);
        return *form_;
    }

    QString names() const
    {
        QString s;
        for (const FrameRecord& f : form_->project().frames)
            s += QFileInfo(QString::fromStdString(f.File)).baseName();
        return s;
    }

private slots:
    void cleanup() { form_.reset(); }

    void cloneAfterSelectAll()
    {
        TAVIForm& form = window(3);
        QVERIFY(act(form, "ActionClone")->isVisible());
        act(form, "ActionSelectAll")->trigger();
        act(form, "ActionClone")->trigger();
        QCOMPARE(names(), QString("AABBCC"));
        QCOMPARE(form.project().selection.indices(), std::vector<int>{1});
        QVERIFY(act(form, "ActionUp")->isEnabled() && act(form, "ActionDown")->isEnabled());
    }

    void flipTwiceAndMarks()
    {
        TAVIForm& form = window(1);
        act(form, "ActionFlip1")->trigger();
        act(form, "ActionFlip1")->trigger();  // skipped: already horizontal
        const FrameRecord& f = form.project().frames[0];
        QCOMPARE(f.Flip, 1);
        QCOMPARE(frameImage(form.project(), 0).get().pixel(0, 0), Color(0xFF0000));  // mirrored once
        QCOMPARE(frameImage(form.project(), 0).get().pixel(3, 0), Color(0x0000FF));
        act(form, "ActionConvert2")->trigger();  // GreyScale
        QVERIFY(form.project().frames[0].Gray);
        QVERIFY(form.project().changed);

        // opening the flip menu marks "Horizontal"; the convert menu "GreyScale" only
        for (QObject* o : act(form, "ActionFlip0")->associatedObjects())
            if (auto* menu = qobject_cast<QMenu*>(o))
                QMetaObject::invokeMethod(menu, "aboutToShow");
        QVERIFY(act(form, "ActionFlip1")->isChecked());
        QVERIFY(!act(form, "ActionFlip0")->isChecked());
        QVERIFY(act(form, "ActionConvert2")->isChecked());
        QVERIFY(!act(form, "ActionConvert0")->isChecked());
        QVERIFY(!act(form, "ActionConvert1")->isChecked());
        // the marks follow the frame, not the item chosen last
        act(form, "ActionFlip0")->setChecked(true);
        act(form, "ActionConvert0")->setChecked(true);
        QMetaObject::invokeMethod(form.menu("effectsMenu"), "aboutToShow");
        QVERIFY(act(form, "ActionFlip1")->isChecked() && !act(form, "ActionFlip0")->isChecked());
        QVERIFY(act(form, "ActionConvert2")->isChecked() && !act(form, "ActionConvert0")->isChecked());
    }

    // The tool buttons: a click on the button is Normal, the drop-down holds
    // the entries, the last flip one named "Horiz/Vert".
    void toolButtonsAndDropDown()
    {
        TAVIForm& form = window(1);
        QStringList texts;
        for (QAction* a : form.menu("flipDropDown")->actions()) texts << a->text();
        QCOMPARE(texts, QStringList({"Normal", "Horizontal", "Vertical", "Horiz/Vert"}));
        QCOMPARE(form.toolButton("flipButton")->popupMode(), QToolButton::MenuButtonPopup);

        form.menu("flipDropDown")->actions()[3]->trigger();
        QCOMPARE(form.project().frames[0].Flip, 3);
        QMetaObject::invokeMethod(form.menu("flipDropDown"), "aboutToShow");
        QVERIFY(form.menu("flipDropDown")->actions()[3]->isChecked());
        QVERIFY(!form.menu("flipDropDown")->actions()[0]->isChecked());

        act(form, "ActionConvert1")->trigger();  // Inverse
        form.toolButton("flipButton")->click();
        form.toolButton("convertButton")->click();
        const FrameRecord& f = form.project().frames[0];
        QCOMPARE(f.Flip, 0);
        QVERIFY(!f.Inverse);
        QCOMPARE(frameImage(form.project(), 0).get().pixel(0, 0), Color(0x0000FF));  // as the source
    }

    void frameInfo()
    {
        TAVIForm& form = window(3);
        QVERIFY(act(form, "ActionFrameOrigin")->isVisible());
        act(form, "ActionSelectAll")->trigger();
        act(form, "ActionFlip2")->trigger();
        act(form, "ActionConvert2")->trigger();
        form.project().selection.assign({2, 0});
        act(form, "ActionFrameOrigin")->trigger();
        QVERIFY(dialogs_->shownInfo);
        QCOMPARE(dialogs_->shownInfo->caption, std::string("Info for 3 frame"));
        QCOMPARE(dialogs_->shownInfo->name, std::string("C.png"));
        QCOMPARE(dialogs_->shownInfo->flip, std::string("Vertical"));
        QCOMPARE(dialogs_->shownInfo->inverse, std::string("No"));
        QCOMPARE(dialogs_->shownInfo->grey, std::string("Yes"));

        // the dialog itself: a deleted source shows the yellow warning
        QFile::remove(dir_.filePath("C.png"));
        TFormProperties dialog(pelko::frameInfo(form.project(), 2));
        QCOMPARE(dialog.windowTitle(), QString("Info for 3 frame"));
        QCOMPARE(dialog.fileTestLabel()->text(),
                 QString("Not found such file. Apparently it was deleted or removed."));
        QCOMPARE(dialog.fileTestLabel()->palette().color(QPalette::Window), QColor(255, 255, 0));
    }

    void missingSourceKeepsThePictureAndLogs()
    {
        TAVIForm& form = window(1);
        const Picture before = frameImage(form.project(), 0).get();
        QFile::remove(QString::fromStdString(form.project().frames[0].File));
        act(form, "ActionFlip2")->trigger();
        QCOMPARE(frameImage(form.project(), 0).get(), before);
        QCOMPARE(form.project().frames[0].Flip, 0);
        QCOMPARE(form.project().log.lines().size(), std::size_t(1));
        QVERIFY(QString::fromStdString(form.project().log.lines()[0]).startsWith("Not found file: "));
    }
};

QTEST_MAIN(EffectsTest)
#include "effects_test.moc"

#include "app/tform1.h"
#include "formtest.h"
#include "testmain.h"
#include "widgets/artwork.h"
#include "widgets/systemcolors.h"
#include "widgets/ttextbutton.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QIcon>
#include <QLabel>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

using namespace Qt::StringLiterals;

// Every caption of the fixed-geometry window is whole in the program's fonts.
class FitTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TForm1> form;

private slots:
    void initTestCase()
    {
        form = std::make_unique<TForm1>();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }

    void captionsFitTheirControls()
    {
        QStringList clipped;
        for (QWidget *widget : form->findChildren<QWidget *>()) {
            QString text;
            int needed = 0;
            int available = widget->width();
            if (auto *label = qobject_cast<QLabel *>(widget); label && !label->text().isEmpty()) {
                text = label->text();
                needed = label->wordWrap() ? 0 : label->sizeHint().width();
            } else if (auto *button = qobject_cast<QAbstractButton *>(widget); button && !button->text().isEmpty()) {
                text = button->text();
                const int advance = button->fontMetrics().horizontalAdvance(text);
                QStyleOptionButton option;
                option.initFrom(button);
                if (qobject_cast<QCheckBox *>(button))
                    available = button->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, button).width();
                else if (qobject_cast<QRadioButton *>(button))
                    available
                        = button->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, button).width();
                else
                    available = button->width() - 4; // the caption area of the themed look
                needed = advance;
            }
            // The download box is as small as an include box on purpose: only its square shows.
            if (widget->objectName() == u"chkWWWs"_s)
                continue;
            if (needed > available)
                clipped << u"%1 \"%2\": needs %3, has %4"_s.arg(widget->objectName(), text).arg(needed).arg(available);
        }
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(u'\n')));
    }

    // A label's text stays within the gaps the page leaves it: clear of every control, band and panel beside it.
    void labelsKeepClearOfOtherControls()
    {
        QStringList overlaps;
        const QTabWidget *pages = FormTest::control<QTabWidget>(*form, "PageControl1");
        for (int i = 0; i < pages->count(); ++i) {
            QWidget *page = pages->widget(i);
            const auto labels = page->findChildren<QLabel *>();
            for (QLabel *label : labels) {
                if (label->text().isEmpty())
                    continue;
                // Where the first line's ink starts and ends, in fractional pixels.
                const QRectF box = label->contentsRect().translated(label->mapTo(page, QPoint(0, 0)));
                const qreal width = QFontMetricsF(label->font()).horizontalAdvance(label->text().section(u'\n', 0, 0));
                qreal left = box.left();
                if (label->alignment() & Qt::AlignRight)
                    left = box.right() + 1 - width;
                else if (label->alignment() & Qt::AlignHCenter)
                    left = box.center().x() - width / 2;
                const QRectF text(left, box.top(), width, QFontMetricsF(label->font()).height());
                for (QWidget *other : page->findChildren<QWidget *>()) {
                    // Pictures and the other labels may stand behind or beside a text, and a band behind a whole one.
                    const QRectF at(QRect(other->mapTo(page, QPoint(0, 0)), other->size()));
                    const bool band = other->metaObject() == &QWidget::staticMetaObject && at.contains(text);
                    if (qobject_cast<QLabel *>(other) || band || other->isAncestorOf(label)
                        || !other->isVisibleTo(page))
                        continue;
                    if (text.intersects(at))
                        overlaps << u"%1 \"%2\" runs over %3 %4"_s.arg(label->objectName(), label->text(),
                            QString::fromLatin1(other->metaObject()->className()), other->objectName());
                }
            }
        }
        QVERIFY2(overlaps.isEmpty(), qPrintable(overlaps.join(u'\n')));
    }

    // Only the square of the download box shows, on the highlight colour; its caption never does.
    void downloadBoxShowsOnlySquare()
    {
        auto *box = form->findChild<QCheckBox *>(u"chkWWWs"_s);
        QVERIFY(box);
        QStyleOptionButton option;
        option.initFrom(box);
        const QImage image = box->grab().toImage();
        const qreal ratio = image.devicePixelRatio();
        const QRect mark = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
        const QRect square(mark.topLeft() * ratio, mark.size() * ratio);
        const QRgb highlight = systemColor(SystemColor::Highlight).rgb();
        int stray = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                stray += !square.contains(x, y) && image.pixel(x, y) != highlight;
        }
        QCOMPARE(stray, 0);
    }

    // Nothing covers the controls that stand on top of others: raising one changes no pixel.
    void topControlsAreUncovered_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("colour tester over the row bands") << u"TextButton29"_s;
        QTest::newRow("header over the background") << u"Panel1"_s;
    }

    void topControlsAreUncovered()
    {
        QFETCH(QString, name);
        TForm1 window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *control = window.findChild<QWidget *>(name);
        QVERIFY(control);
        const QRect area(control->mapTo(&window, QPoint(0, 0)), control->size());
        const QImage before = window.grab(area).toImage();
        control->raise();
        QCOMPARE(window.grab(area).toImage(), before);
    }

    // The pictures as built into the program draw exactly as the files they come from, at any scale.
    void artworkDrawsAsItsSource_data()
    {
        QTest::addColumn<QString>("file");
        const QDir art(QStringLiteral(ARTWORK_DIR));
        for (const QString &file : art.entryList({ u"*.png"_s, u"*.jpg"_s })) {
            if (!file.contains(u'@'))
                QTest::newRow(qPrintable(file)) << art.filePath(file);
        }
    }

    void artworkDrawsAsItsSource()
    {
        QFETCH(QString, file);
        const QSize size = QImage(file).size();
        const QPixmap drawn = Artwork::pixmap(QFileInfo(file).completeBaseName(), size);
        const QPixmap source = QIcon(file).pixmap(size);
        QCOMPARE(drawn.devicePixelRatio(), source.devicePixelRatio());
        QCOMPARE(drawn.toImage().convertToFormat(QImage::Format_ARGB32),
            source.toImage().convertToFormat(QImage::Format_ARGB32));
    }

    void everyTabFitsInOneRow()
    {
        QTabBar *tabs = FormTest::control<QTabWidget>(*form, "PageControl1")->tabBar();
        // After "Finish!" the editor's tab joins the others.
        tabs->setTabVisible(
            FormTest::control<QTabWidget>(*form, "PageControl1")
                ->indexOf(reinterpret_cast<QWidget *>(FormTest::control<EditorPage>(*form, "tabEditor"))),
            true);
        int right = 0;
        for (int i = 0; i < tabs->count(); ++i) {
            if (tabs->isTabVisible(i))
                right = std::max(right, tabs->tabRect(i).right());
        }
        QVERIFY2(right < FormTest::control<QTabWidget>(*form, "PageControl1")->width(),
            qPrintable(u"tabs end at %1"_s.arg(right)));
    }
};

TALLYFORGE_TEST_MAIN(FitTest)
#include "tst_fit.moc"

#include "ControlsTestSupport.h"
#include "GraphicUnits.h"
#include "ImgButton.h"
#include "MessageDialogs.h"
#include "PaintPanel.h"
#include "TGraphic.h"
#include "TPicture.h"
#include "nxGDIPlusAPI.h"

#include <QSignalSpy>
#include <QTest>
#include <QWindow>

namespace {

const QRgb kBackground = qRgb(0x80, 0x80, 0x80);
const QRgb kNormal = qRgb(255, 0, 0);
const QRgb kEnter = qRgb(0, 255, 0);
const QRgb kDown = qRgb(0, 0, 255);
const QRgb kDisable = qRgb(60, 60, 60);
const QRgb kCheck = qRgb(255, 255, 0);

std::unique_ptr<TPicture> picture(const QImage& image)
{
    auto p = std::make_unique<TPicture>();
    setPngPicture(*p, image);
    return p;
}

std::unique_ptr<TPicture> solid(QRgb color, int w = 22, int h = 22)
{
    return picture(solidImage(w, h, color));
}

// A shown top-level window of a plain colour to put buttons on.
struct Stage
{
    QWidget top;
    Stage()
    {
        top.resize(200, 120);
        top.setAutoFillBackground(true);
        QPalette pal = top.palette();
        pal.setColor(QPalette::Window, QColor(kBackground));
        top.setPalette(pal);
    }
    void show()
    {
        top.show();
        QVERIFY(QTest::qWaitForWindowExposed(&top));
        // Start from a known cursor spot on the background, wherever the last test left it.
        QTest::mouseMove(top.windowHandle(), QPoint(0, 0));
        QTest::mouseMove(top.windowHandle(), QPoint(1, 1));
    }
};

QPoint inWindow(QWidget* w, QPoint p)
{
    return w->mapTo(w->window(), p);
}

void moveTo(QWidget* w, QPoint p)
{
    QTest::mouseMove(w->window()->windowHandle(), inWindow(w, p));
}

void press(QWidget* w, QPoint p, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mousePress(w->window()->windowHandle(), button, {}, inWindow(w, p));
}

void release(QWidget* w, QPoint p, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseRelease(w->window()->windowHandle(), button, {}, inWindow(w, p));
}

void setAllPictures(TImgControl& b)
{
    b.setImgNormal(solid(kNormal).get());
    b.setImgEnter(solid(kEnter).get());
    b.setImgDown(solid(kDown).get());
    b.setImgDisable(solid(kDisable).get());
    if (auto* check = qobject_cast<TImgCheckButton*>(&b))
        check->setImgCheck(solid(kCheck).get());
}

// The colour in the middle of the button as shown.
QRgb shown(QWidget* w)
{
    return screenOf(w).pixel(w->width() / 2, w->height() / 2);
}

void flushPaints()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

// A graphic whose drawing fails as the image library's calls can.
class TFailingGraphic : public TGraphic
{
public:
    QString className() const override { return QStringLiteral("TFailingGraphic"); }
    std::unique_ptr<TGraphic> newInstance() const override
    {
        return std::make_unique<TFailingGraphic>();
    }
    int width() const override { return 4; }
    int height() const override { return 4; }
    void setWidth(int) override {}
    void setHeight(int) override {}
    bool empty() const override { return false; }
    void draw(QPainter&, const QRect&) const override { throw EGDIPlusError(7); }
    void loadFromStream(QIODevice&) override {}
    void saveToStream(QIODevice&) const override {}
    void assign(const TGraphic&) override {}
    void loadFromClipboard(const QMimeData&) override {}
    void saveToClipboard(QMimeData&) const override {}
};

} // namespace

class TestImgButton : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        MessageDialogs::installErrorReporter();
        m_units = std::make_unique<GraphicUnits>();
    }
    void cleanupTestCase() { m_units.reset(); }

    void picturePositions_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<int>("offsets");
        QTest::addColumn<QString>("state");
        QTest::addColumn<QPoint>("topLeft");
        QTest::newRow("22x22 normal") << QSize(22, 22) << 1 << "normal" << QPoint(7, 9);
        QTest::newRow("22x22 mouse over") << QSize(22, 22) << 1 << "over" << QPoint(6, 8);
        QTest::newRow("22x22 pressed") << QSize(22, 22) << 1 << "pressed" << QPoint(8, 10);
        QTest::newRow("39x34 normal") << QSize(39, 34) << 0 << "normal" << QPoint(-1, 3);
        QTest::newRow("39x34 mouse over") << QSize(39, 34) << 0 << "over" << QPoint(-1, 3);
        QTest::newRow("39x34 pressed") << QSize(39, 34) << 0 << "pressed" << QPoint(-1, 3);
        QTest::newRow("39x34 pressed, offset 1") << QSize(39, 34) << 1 << "pressed" << QPoint(0, 4);
    }
    void picturePositions()
    {
        QFETCH(QSize, picture);
        QFETCH(int, offsets);
        QFETCH(QString, state);
        QFETCH(QPoint, topLeft);
        Stage stage;
        TImgButton b(&stage.top);
        b.setGeometry(20, 30, 36, 40);
        b.setOnEnterOffset(offsets);
        b.setOnDownOffset(offsets);
        b.setImgNormal(::picture(positionImage(picture.width(), picture.height())).get());
        stage.show();
        if (state != QLatin1String("normal"))
            moveTo(&b, QPoint(18, 20));
        if (state == QLatin1String("pressed"))
            press(&b, QPoint(18, 20));

        const QImage screen = screenOf(&b);
        // Every pixel of the button shows the picture pixel that lands there, or the parent.
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 36; ++x) {
                const QPoint src = QPoint(x, y) - topLeft;
                const QRgb want = QRect(QPoint(0, 0), picture).contains(src)
                                      ? positionColor(src.x(), src.y())
                                      : kBackground;
                QCOMPARE(screen.pixel(x, y), want);
            }
        }
        if (state == QLatin1String("pressed"))
            release(&b, QPoint(18, 20));
    }

    void pngIsBlendedOverThePaintedParent()
    {
        Stage stage;
        TPaintPanel panel(&stage.top);
        panel.setGeometry(0, 0, 60, 60);
        panel.setColor(QColor(0, 0, 255));
        TImgButton b(&panel);
        b.setGeometry(10, 10, 3, 1);
        QImage img(3, 1, QImage::Format_ARGB32);
        img.setPixel(0, 0, qRgba(255, 0, 0, 255));
        img.setPixel(1, 0, qRgba(255, 0, 0, 128));
        img.setPixel(2, 0, qRgba(255, 0, 0, 0));
        b.setImgNormal(picture(img).get());
        stage.show();
        const QImage screen = screenOf(&b);
        QCOMPARE(screen.pixel(0, 0), qRgb(255, 0, 0));
        const QRgb half = screen.pixel(1, 0);
        QVERIFY2(qAbs(qRed(half) - 128) <= 1 && qAbs(qBlue(half) - 127) <= 1,
                 qPrintable(QString::number(half, 16)));
        QCOMPARE(screen.pixel(2, 0), qRgb(0, 0, 255));
    }

    void pressMoveOffRelease()
    {
        Stage stage;
        TImgButton b(&stage.top);
        b.setGeometry(10, 10, 36, 40);
        setAllPictures(b);
        QSignalSpy clicks(&b, &TImgButton::Click);
        stage.show();

        moveTo(&b, QPoint(18, 20));
        QCOMPARE(b.visualState(), 1);
        QCOMPARE(shown(&b), kEnter);
        press(&b, QPoint(18, 20));
        QCOMPARE(b.visualState(), 2);
        QVERIFY(b.isPressed());
        QCOMPARE(shown(&b), kDown);

        moveTo(&b, QPoint(150, 100)); // off, still held
        QCOMPARE(b.visualState(), 2);
        QCOMPARE(shown(&b), kDown);
        moveTo(&b, QPoint(20, 22)); // back over it
        QCOMPARE(b.visualState(), 2);
        QCOMPARE(shown(&b), kDown);
        moveTo(&b, QPoint(150, 100));
        release(&b, QPoint(150, 100));
        QCOMPARE(clicks.count(), 0);
        QCOMPARE(b.visualState(), 0);
        QVERIFY(!b.isPressed());
        QCOMPARE(shown(&b), kNormal);

        // A whole click inside: Click, then the state of a control still under the cursor.
        moveTo(&b, QPoint(18, 20));
        press(&b, QPoint(18, 20));
        int stateAtClick = -1;
        connect(&b, &TImgButton::Click, &b, [&] { stateAtClick = b.visualState(); });
        release(&b, QPoint(18, 20));
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(stateAtClick, 2); // raised before the release is handled
        QCOMPARE(b.visualState(), 1);
        QCOMPARE(shown(&b), kEnter);
        moveTo(&b, QPoint(150, 100));
        QCOMPARE(b.visualState(), 0);
    }

    void releaseOverAnotherControl()
    {
        Stage stage;
        TImgButton b(&stage.top);
        b.setGeometry(10, 10, 36, 40);
        setAllPictures(b);
        TImgButton other(&stage.top); // disabled controls count as controls under the cursor
        other.setGeometry(60, 10, 36, 40);
        other.setEnabled(false);
        TImgButton lyingOver(&stage.top);
        lyingOver.setGeometry(30, 10, 10, 10);
        stage.show();
        QSignalSpy clicks(&b, &TImgButton::Click);

        press(&b, QPoint(5, 5));
        release(&b, QPoint(55, 5)); // over `other`
        QCOMPARE(b.visualState(), 0);
        QCOMPARE(clicks.count(), 0);
        // Inside this control's rectangle, but a sibling lies over the spot: a click, yet the
        // control under the cursor is the sibling.
        press(&b, QPoint(5, 5));
        release(&b, QPoint(25, 5));
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(b.visualState(), 0);
    }

    void otherButtonsChangeNothing_data()
    {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::newRow("right") << Qt::RightButton;
        QTest::newRow("middle") << Qt::MiddleButton;
    }
    void otherButtonsChangeNothing()
    {
        QFETCH(Qt::MouseButton, button);
        Stage stage;
        TImgButton b(&stage.top);
        b.setGeometry(10, 10, 36, 40);
        setAllPictures(b);
        QSignalSpy clicks(&b, &TImgButton::Click);
        stage.show();
        moveTo(&b, QPoint(18, 20));
        press(&b, QPoint(18, 20), button);
        QCOMPARE(b.visualState(), 1);
        QVERIFY(!b.isPressed());
        release(&b, QPoint(18, 20), button);
        QCOMPARE(b.visualState(), 1);
        QCOMPARE(clicks.count(), 0);
    }

    void doubleClick()
    {
        Stage stage;
        TImgButton b(&stage.top);
        b.setGeometry(10, 10, 36, 40);
        setAllPictures(b);
        stage.show();
        QSignalSpy clicks(&b, &TImgButton::Click);
        QSignalSpy doubles(&b, &TImgButton::DblClick);
        QTest::mouseDClick(stage.top.windowHandle(), Qt::LeftButton, {}, inWindow(&b, {5, 5}));
        QCOMPARE(doubles.count(), 1);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(b.visualState(), 1);
    }

    void enabledChangeResetsTheState()
    {
        Stage stage;
        TImgCheckButton b(&stage.top);
        b.setGeometry(10, 10, 36, 40);
        setAllPictures(b);
        stage.show();
        moveTo(&b, QPoint(5, 5));
        press(&b, QPoint(5, 5));
        QVERIFY(b.isPressed());
        b.setEnabled(false);
        QCOMPARE(b.visualState(), 0);
        QVERIFY(!b.isPressed());
        QCOMPARE(shown(&b), kDisable);
        b.setEnabled(true);
        QCOMPARE(shown(&b), kNormal);
        release(&b, QPoint(5, 5));

        // Checked, then disabled and enabled: still checked, but shown and handled as
        // unchecked until Checked next changes.
        moveTo(&b, QPoint(150, 100));
        b.setChecked(true);
        QCOMPARE(shown(&b), kCheck);
        b.setEnabled(false);
        QCOMPARE(shown(&b), kDisable);
        b.setEnabled(true);
        QVERIFY(b.Checked());
        QCOMPARE(b.visualState(), 0);
        QCOMPARE(shown(&b), kNormal);
        moveTo(&b, QPoint(5, 5));
        QCOMPARE(b.visualState(), 1);
    }

    void checkButtonClick()
    {
        Stage stage;
        TImgCheckButton a(&stage.top);
        TImgCheckButton b(&stage.top);
        a.setGeometry(10, 10, 36, 40);
        b.setGeometry(60, 10, 36, 40);
        setAllPictures(a);
        setAllPictures(b);
        a.setChecked(true);
        stage.show();
        QList<bool> checkedAtClick;
        connect(&b, &TImgCheckButton::Click, &b, [&] { checkedAtClick << b.Checked(); });

        moveTo(&b, QPoint(5, 5));
        press(&b, QPoint(5, 5));
        QCOMPARE(shown(&b), kDown);
        release(&b, QPoint(5, 5));
        QCOMPARE(checkedAtClick, QList<bool>{false});
        QVERIFY(b.Checked());
        QVERIFY(!a.Checked());
        QCOMPARE(a.visualState(), 0);
        QCOMPARE(b.visualState(), 3);
        QVERIFY(!b.isPressed());
        QCOMPARE(shown(&b), kCheck);
        QCOMPARE(shown(&a), kNormal);

        // Checked: the mouse changes nothing, and a click leaves it checked.
        moveTo(&b, QPoint(150, 100));
        QCOMPARE(b.visualState(), 3);
        moveTo(&b, QPoint(5, 5));
        press(&b, QPoint(5, 5));
        QCOMPARE(b.visualState(), 3);
        release(&b, QPoint(5, 5));
        QCOMPARE(checkedAtClick, (QList<bool>{false, true}));
        QVERIFY(b.Checked());
        QCOMPARE(shown(&b), kCheck);
    }

    void checkedWithoutCheckPictureDrawsNothing()
    {
        Stage stage;
        TImgCheckButton b(&stage.top);
        b.setGeometry(10, 10, 36, 40);
        b.setCaption(QStringLiteral("Caption"));
        b.setImgNormal(solid(kNormal).get());
        b.setChecked(true);
        stage.show();
        QCOMPARE(screenOf(&b),
                 solidImage(36, 40, kBackground).convertToFormat(QImage::Format_RGB32));
    }

    void groupsAreExclusive_data()
    {
        QTest::addColumn<QString>("where"); // where the second button lives
        QTest::addColumn<int>("group");     // the second button's group (the first has 0)
        QTest::addColumn<bool>("bothChecked");
        QTest::newRow("same parent, same group") << "sibling" << 0 << false;
        QTest::newRow("same parent, other group") << "sibling" << 5 << true;
        QTest::newRow("other parent, same group") << "cousin" << 0 << true;
        QTest::newRow("no parent, same group") << "orphan" << 0 << true;
    }
    void groupsAreExclusive()
    {
        QFETCH(QString, where);
        QFETCH(int, group);
        QFETCH(bool, bothChecked);
        QWidget parent;
        QWidget otherParent;
        TImgCheckButton a(&parent);
        TImgCheckButton b(where == QLatin1String("sibling")  ? &parent
                          : where == QLatin1String("cousin") ? &otherParent
                                                             : nullptr);
        b.setCheckGroup(group);
        TImgButton plain(&parent); // not a check button: never touched
        a.setChecked(true);
        b.setChecked(true);
        QVERIFY(b.Checked());
        QCOMPARE(a.Checked(), bothChecked);
        QCOMPARE(a.visualState(), bothChecked ? 3 : 0);
    }

    void clearingAlsoClearsTheGroup()
    {
        QWidget parent;
        TImgCheckButton a(&parent);
        TImgCheckButton b(&parent);
        TImgCheckButton c(&parent);
        a.setChecked(true);
        b.setCheckGroup(1);
        b.setChecked(true);
        c.setCheckGroup(2);
        c.setChecked(true);
        b.setCheckGroup(0); // stored only: two checked buttons in group 0 now
        QVERIFY(a.Checked() && b.Checked());
        b.setChecked(false);
        QVERIFY(!a.Checked());
        QVERIFY(!b.Checked());
        QVERIFY(c.Checked());
        QCOMPARE(a.visualState(), 0);
        // Setting the value it has already changes nothing, not even the others.
        a.setChecked(true);
        b.setCheckGroup(0);
        b.setChecked(false);
        QVERIFY(a.Checked());
    }

    void autoSize()
    {
        QWidget parent;
        TImgButton b(&parent);
        b.setGeometry(0, 0, 36, 40);
        b.setAutoSize(true);
        QVERIFY(b.AutoSize());
        QCOMPARE(b.size(), QSize(36, 40)); // no picture: nothing to take
        b.setImgNormal(solid(kNormal, 22, 22).get());
        QCOMPARE(b.size(), QSize(22, 22));
        b.setImgEnter(solid(kEnter, 30, 30).get());
        QCOMPARE(b.size(), QSize(22, 22));

        TImgButton c(&parent);
        c.setGeometry(0, 0, 36, 40);
        c.setImgNormal(solid(kNormal, 22, 22).get());
        QCOMPARE(c.size(), QSize(36, 40));
        c.setAutoSize(true);
        QCOMPARE(c.size(), QSize(22, 22));
        c.setAutoSize(false);
        c.setImgNormal(solid(kNormal, 10, 12).get());
        QCOMPARE(c.size(), QSize(22, 22));

        // Pictures from a manager do not resize.
        TImgManager m;
        m.setImgNormal(solid(kEnter, 5, 5).get());
        c.setAutoSize(true);
        c.setImgManager(&m);
        c.grab();
        QCOMPARE(c.ImgNormal()->width(), 5);
        QCOMPARE(c.size(), QSize(10, 12));
    }

    void fallbacksAreCopiesThatStay()
    {
        Stage stage;
        TImgButton b(&stage.top);
        b.setGeometry(10, 10, 36, 40);
        b.setImgNormal(solid(kNormal).get());
        QVERIFY(b.ImgEnter()->empty());
        stage.show();
        QVERIFY(!b.ImgEnter()->empty());
        QVERIFY(!b.ImgDown()->empty());
        QVERIFY(!b.ImgDisable()->empty());
        QCOMPARE(shown(&b), kNormal);
        moveTo(&b, QPoint(5, 5));
        QCOMPARE(shown(&b), kNormal);
        press(&b, QPoint(5, 5));
        QCOMPARE(shown(&b), kNormal);
        release(&b, QPoint(5, 5));
        b.setEnabled(false);
        QCOMPARE(shown(&b), kNormal);
        b.setEnabled(true);

        // A later ImgNormal does not reach the filled copies.
        b.setImgNormal(solid(kCheck).get());
        moveTo(&b, QPoint(150, 100));
        QCOMPARE(shown(&b), kCheck);
        moveTo(&b, QPoint(5, 5));
        QCOMPARE(shown(&b), kNormal);
    }

    void managerPictures()
    {
        Stage stage;
        TImgManager m;
        m.setImgNormal(solid(kEnter).get());
        TImgButton b(&stage.top);
        b.setGeometry(10, 10, 36, 40);
        b.setImgNormal(solid(kNormal).get());
        b.setImgDown(solid(kDown).get());
        b.setImgManager(&m);
        stage.show();
        QCOMPARE(shown(&b), kEnter); // copied in at the paint
        QCOMPARE(b.ImgNormal()->width(), 22);
        // The manager's empty pictures clear nothing.
        moveTo(&b, QPoint(5, 5));
        press(&b, QPoint(5, 5));
        QCOMPARE(shown(&b), kDown);
        release(&b, QPoint(5, 5));

        // Set after the button has painted: taken at its next paint, and kept for good.
        m.setImgEnter(solid(kCheck).get());
        b.update();
        QCOMPARE(shown(&b), kCheck);
        b.setImgManager(nullptr);
        QCOMPARE(shown(&b), kCheck);

        // A manager that goes away first is simply no longer consulted.
        auto gone = std::make_unique<TImgManager>();
        gone->setImgNormal(solid(kDisable).get());
        b.setImgManager(gone.get());
        gone.reset();
        moveTo(&b, QPoint(150, 100));
        QCOMPARE(shown(&b), kEnter);
    }

    void settersThatRepaint_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<bool>("repaints");
        QTest::newRow("Spacing, same value") << "spacing-same" << false;
        QTest::newRow("Spacing, new value") << "spacing-new" << true;
        QTest::newRow("layout, same value") << "layout-same" << false;
        QTest::newRow("layout, new value") << "layout-new" << true;
        QTest::newRow("ImgCheck on a checked button") << "imgcheck" << false;
        QTest::newRow("OnEnterOffset") << "enteroffset" << false;
        QTest::newRow("ImgEnter") << "imgenter" << true;
        QTest::newRow("manager") << "manager" << true;
    }
    void settersThatRepaint()
    {
        QFETCH(QString, what);
        QFETCH(bool, repaints);
        Stage stage;
        TImgCheckButton b(&stage.top);
        b.setGeometry(10, 10, 36, 40);
        setAllPictures(b);
        b.setChecked(true);
        TImgManager m;
        stage.show();
        flushPaints();
        PaintCounter paints(&b);
        if (what == QLatin1String("spacing-same"))
            b.setSpacing(2);
        else if (what == QLatin1String("spacing-new"))
            b.setSpacing(3);
        else if (what == QLatin1String("layout-same"))
            b.setImgButtonLayout(iclImgTop);
        else if (what == QLatin1String("layout-new"))
            b.setImgButtonLayout(iclImgLeft);
        else if (what == QLatin1String("imgcheck"))
            b.setImgCheck(solid(kDown).get());
        else if (what == QLatin1String("enteroffset"))
            b.setOnEnterOffset(5);
        else if (what == QLatin1String("imgenter"))
            b.setImgEnter(solid(kDown).get());
        else if (what == QLatin1String("manager"))
            b.setImgManager(&m);
        flushPaints();
        QCOMPARE(paints.count() > 0, repaints);
        if (what == QLatin1String("imgcheck"))
            QCOMPARE(shown(&b), kDown); // drawn when something else redraws it
    }

    void autoRepaintParent_data()
    {
        QTest::addColumn<bool>("autoRepaintParent");
        QTest::newRow("off: only the area under the button") << false;
        QTest::newRow("on: the whole parent") << true;
    }
    void autoRepaintParent()
    {
        QFETCH(bool, autoRepaintParent);
        Stage stage;
        QWidget parent(&stage.top);
        parent.setGeometry(0, 0, 150, 100);
        TImgButton b(&parent);
        b.setGeometry(10, 10, 36, 40);
        setAllPictures(b);
        b.setAutoRepaintParent(autoRepaintParent);
        stage.show();
        flushPaints();
        PaintCounter parentPaints(&parent);
        moveTo(&b, QPoint(5, 5));
        QCOMPARE(b.visualState(), 1);
        bool whole = false;
        for (const QRect& r : parentPaints.rects())
            whole = whole || r == parent.rect();
        QCOMPARE(whole, autoRepaintParent);
    }

    void captionIsDrawnBesideThePicture()
    {
        Stage stage;
        TImgButton b(&stage.top);
        b.setGeometry(10, 10, 120, 40);
        b.setImgNormal(solid(kNormal).get());
        b.setCaption(QStringLiteral("Wq"));
        b.setImgButtonLayout(iclImgLeft);
        stage.show();
        const QImage screen = screenOf(&b);
        const int textWidth = QFontMetrics(b.font()).horizontalAdvance(QStringLiteral("Wq"));
        const int ix = (120 - 22 - textWidth - 2) / 2;
        QCOMPARE(screen.pixel(ix, 9), kNormal);
        QCOMPARE(screen.pixel(ix - 1, 9), kBackground);
        int inked = 0;
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 120; ++x) {
                const QRgb px = screen.pixel(x, y);
                if (px != kBackground && px != kNormal) {
                    ++inked;
                    QVERIFY(x >= ix + 22 + 2 && x < ix + 22 + 2 + textWidth + 1);
                }
            }
        }
        QVERIFY(inked > 10);
    }

    void paintErrorsAreReportedWithoutPilingUp()
    {
        Stage stage;
        TImgButton b(&stage.top);
        b.setGeometry(10, 10, 36, 40);
        TPicture failing;
        TFailingGraphic g;
        failing.setGraphic(&g);
        b.setImgNormal(&failing);
        QStringList reports;
        // The report's dialog makes the button paint again while it is up.
        MessageDialogs::setRecorder(
            [&](MessageDialogs::Kind kind, const QString& caption, const QString& text) {
                QCOMPARE(kind, MessageDialogs::Kind::Critical);
                reports << caption + QLatin1Char('|') + text;
                b.repaint();
            });
        stage.show();
        b.repaint();
        MessageDialogs::setRecorder({});
        QVERIFY(!reports.isEmpty());
        for (const QString& r : reports)
            QCOMPARE(r,
                     QStringLiteral("Wenquell|Invalid operation in GDI+ (nxGDIPlusAPI, line 7)"));
        // One report per paint from outside, none from the paints the report itself caused.
        QVERIFY(reports.size() <= 3);
    }

private:
    std::unique_ptr<GraphicUnits> m_units;
};

QTEST_MAIN(TestImgButton)
#include "tst_imgbutton.moc"

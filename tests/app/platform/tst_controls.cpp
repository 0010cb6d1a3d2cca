#include "app/platform/controls.h"

#include <QTest>

class tst_Controls : public QObject {
    Q_OBJECT

private slots:
    void twipsReadBackExactly_data();
    void twipsReadBackExactly();
    void twipsMapToPixels();
    void loadCopiesElementZero();
    void loadAndUnloadErrors();
    void listBoxWhileHidden();
    void listBoxErrors();
    void listBoxShown();
    void buttonPaintsItsColourExactly();
};

void tst_Controls::twipsReadBackExactly_data()
{
    QTest::addColumn<float>("value");
    QTest::newRow("whole") << 2775.0f;
    QTest::newRow("odd twip") << 2281.0f;
    QTest::newRow("fraction") << 1234.5f;
    QTest::newRow("not a pixel multiple") << 7.0f;
    QTest::newRow("negative") << -500.0f;
}

void tst_Controls::twipsReadBackExactly()
{
    QFETCH(float, value);
    QWidget window;
    CommandButton button(&window);
    button.setLeft(value);
    button.setTop(value + 1);
    button.setWidth(500);
    button.setHeight(495);
    QCOMPARE(button.Left(), value);
    QCOMPARE(button.Top(), value + 1);
    QCOMPARE(button.Width(), 500.0f);
    QCOMPARE(button.Height(), 495.0f);
}

void tst_Controls::twipsMapToPixels()
{
    // The offscreen screen has 96 logical DPI: 15 twips to a pixel. (144 DPI
    // and scaled screens: tst_display_scale.)
    QCOMPARE(twips::pixelsPerTwip(), 1.0 / 15);
    QWidget window;
    Label label(&window);
    label.place(2280, 480, 495, 495);
    QCOMPARE(label.geometry(), QRect(152, 32, 33, 33));
    // Neighbouring cells meet: the right edge is rounded like the left, so
    // 2775 twips (185 pixels) starts where 2280 + 495 ends, though 495
    // twips are 33 pixels.
    Label next(&window);
    next.place(2775, 480, 495, 495);
    QCOMPARE(next.geometry(), QRect(185, 32, 33, 33));
    // A width that is no whole number of pixels: the edges are rounded, not
    // the width (1234.5 to 1739.5 twips: 82.3 to 115.97 pixels).
    Label odd(&window);
    odd.place(1234.5f, 0, 505, 7);
    QCOMPARE(odd.geometry(), QRect(82, 0, 34, 0));
}

void tst_Controls::loadCopiesElementZero()
{
    QWidget window;
    window.resize(400, 300);
    ControlArray<CommandButton> tiles;
    auto *model = new CommandButton(&window);
    model->place(120, 120, 500, 500);
    model->setBackColor(Qt::black);
    model->setText(QStringLiteral("1"));
    model->setEnabled(false);
    tiles.add(0, model);
    window.show();
    QVERIFY(model->isVisible());

    CommandButton *copy = tiles.Load(5);
    QCOMPARE(tiles(5), copy);
    QCOMPARE(copy->parentWidget(), &window);
    QVERIFY(!copy->isVisible());
    QCOMPARE(copy->Width(), 500.0f);
    QCOMPARE(copy->Height(), 500.0f);
    QCOMPARE(copy->Left(), 120.0f);
    QCOMPARE(copy->backColor(), QColor(Qt::black));
    QCOMPARE(copy->font(), model->font());
    QVERIFY(!copy->isEnabled());
    QCOMPARE(tiles.count(), std::size_t(2));

    // The copy is taken at the time of loading, not linked to element 0.
    model->setWidth(300);
    model->setEnabled(true);
    QCOMPARE(copy->Width(), 500.0f);
    QVERIFY(!copy->isEnabled());
    CommandButton *later = tiles.Load(6);
    QCOMPARE(later->Width(), 300.0f);
    QVERIFY(later->isEnabled());

    // A removed index may be created again, as a new button.
    QPointer<CommandButton> removed = copy;
    tiles.Unload(5);
    QVERIFY(removed.isNull());
    QVERIFY(!tiles.exists(5));
    QVERIFY(tiles.Load(5) != nullptr);
    QCOMPARE(window.findChildren<CommandButton *>().size(), 3);
}

void tst_Controls::loadAndUnloadErrors()
{
    QWidget window;
    ControlArray<CommandButton> tiles;
    tiles.add(0, new CommandButton(&window));
    const auto code = [](auto &&action) {
        try {
            action();
        } catch (const RuntimeError &error) {
            return int(error.code());
        }
        return 0;
    };
    QCOMPARE(code([&] { tiles(1); }), int(RuntimeError::NoSuchElement));
    QCOMPARE(code([&] { tiles.Unload(1); }), int(RuntimeError::NoSuchElement));
    QCOMPARE(code([&] { tiles.Unload(0); }), int(RuntimeError::DesignElement));
    tiles.Load(1);
    QCOMPARE(code([&] { tiles.Load(1); }), int(RuntimeError::ElementExists));
    QCOMPARE(code([&] { tiles.add(0, nullptr); }), int(RuntimeError::ElementExists));
}

void tst_Controls::listBoxWhileHidden()
{
    QWidget window;
    ListBox list(&window);
    list.hide();
    window.show();
    list.AddItem(QStringLiteral("b"));
    list.AddItem(QStringLiteral("a"));
    list.AddItem(QStringLiteral("c"));
    QCOMPARE(list.ListCount(), 3);
    // Insertion order, never sorted.
    QCOMPARE(list.List(0), QStringLiteral("b"));
    QCOMPARE(list.List(1), QStringLiteral("a"));
    list.RemoveItem(0);
    QCOMPARE(list.List(0), QStringLiteral("a"));
    QCOMPARE(list.List(1), QStringLiteral("c"));
    list.Clear();
    QCOMPARE(list.ListCount(), 0);
    QVERIFY(!list.isVisible());
}

// The items a shown list box displays follow every change, made while it
// was shown or while it was hidden.
void tst_Controls::listBoxShown()
{
    QWidget window;
    ListBox list(&window);
    window.show();
    const auto displayed = [&] {
        QStringList result;
        const QAbstractItemModel *model = list.model();
        if (!model)
            return QStringList({ "(no model)" });
        for (int row = 0; row < model->rowCount(); ++row)
            result << model->index(row, 0).data().toString();
        return result;
    };
    list.AddItem(QStringLiteral("b"));
    list.AddItem(QStringLiteral("a"));
    QCOMPARE(displayed(), QStringList({ "b", "a" }));
    list.RemoveItem(0);
    QCOMPARE(displayed(), QStringList({ "a" }));
    list.hide();
    list.AddItem(QStringLiteral("c"));
    list.AddItem(QStringLiteral("d"));
    list.RemoveItem(1);
    list.show();
    QCOMPARE(displayed(), QStringList({ "a", "d" }));
    QCOMPARE(list.ListCount(), 2);
    list.Clear();
    QCOMPARE(displayed(), QStringList());
    QVERIFY(list.isVisible());
}

void tst_Controls::listBoxErrors()
{
    ListBox list;
    list.AddItem(QStringLiteral("x"));
    QVERIFY_THROWS_EXCEPTION(RuntimeError, list.List(1));
    QVERIFY_THROWS_EXCEPTION(RuntimeError, list.List(-1));
    QVERIFY_THROWS_EXCEPTION(RuntimeError, list.RemoveItem(1));
    QCOMPARE(list.ListCount(), 1);
}

void tst_Controls::buttonPaintsItsColourExactly()
{
    QWidget window;
    CommandButton button(&window);
    button.place(0, 0, 1575, 375);
    button.setBackColor(QColor(0, 255, 0));
    button.setText(QStringLiteral("x"));
    window.show();
    const QImage image = button.grab().toImage();
    // Inside the bevel, away from the caption.
    QCOMPARE(image.pixelColor(5, image.height() / 2), QColor(0, 255, 0));
    QCOMPARE(image.pixelColor(image.width() - 6, 5), QColor(0, 255, 0));
}

QTEST_MAIN(tst_Controls)
#include "tst_controls.moc"

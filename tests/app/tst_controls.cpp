#include "controls.h"

#include <QSignalSpy>
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
    void optionSelectedFromCodeRunsHandlerFirst();
    void buttonPaintsItsColourExactly();
    void disabledButtonGetsNoClick();
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
    // 1440 twips to the logical inch.
    const double perTwip = twips::pixelsPerTwip();
    QVERIFY(perTwip > 0);
    QWidget window;
    Label label(&window);
    label.place(2280, 480, 495, 495);
    QCOMPARE(label.geometry().x(), qRound(2280 * perTwip));
    QCOMPARE(label.geometry().y(), qRound(480 * perTwip));
    // Neighbouring cells meet: the right edge is rounded like the left.
    Label next(&window);
    next.place(2775, 480, 495, 495);
    QCOMPARE(label.geometry().right() + 1, next.geometry().left());
    if (qFuzzyCompare(perTwip, 1.0 / 15)) {
        QCOMPARE(label.geometry(), QRect(152, 32, 33, 33));
    }
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

void tst_Controls::optionSelectedFromCodeRunsHandlerFirst()
{
    QWidget frame;
    OptionButton three(QStringLiteral("3"), &frame);
    OptionButton four(QStringLiteral("4"), &frame);
    three.setChecked(true);
    QStringList log;
    connect(&four, &QAbstractButton::toggled, this, [&](bool checked) {
        if (checked)
            log << QStringLiteral("handler, 3 selected: %1").arg(three.isChecked());
    });
    four.setChecked(true);
    log << QStringLiteral("after assignment");
    QCOMPARE(log, QStringList({ "handler, 3 selected: 0", "after assignment" }));
    // Selecting the selected one again is no change of selection.
    four.setChecked(true);
    QCOMPARE(log.size(), 2);
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

void tst_Controls::disabledButtonGetsNoClick()
{
    QWidget window;
    CommandButton button(&window);
    button.place(0, 0, 500, 500);
    window.show();
    QSignalSpy clicks(&button, &QAbstractButton::clicked);
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(clicks.size(), 1);
    button.setEnabled(false);
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(clicks.size(), 1);
}

QTEST_MAIN(tst_Controls)
#include "tst_controls.moc"

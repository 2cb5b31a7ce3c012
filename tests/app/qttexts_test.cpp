// Qt's own texts after the program's start-up: Czech from Qt's catalogue,
// English as before when the catalogue cannot be read.

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "app/window/QtTexts.h"
#include "tests/support/WindowFixture.h"

using namespace morvane;

namespace {

template <QDialogButtonBox::StandardButton Which>
QString ButtonText() {
    QDialogButtonBox box(Which);
    return box.button(Which)->text();
}

QString LookInText() {
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    auto* label = dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"));
    return label == nullptr ? QString() : label->text();
}

struct TStandardText {
    QString (*Read)();
    QString English;
    QString Czech;
};

const TStandardText kStandardTexts[] = {
    {ButtonText<QDialogButtonBox::Cancel>, "Cancel", "Zrušit"},
    {ButtonText<QDialogButtonBox::Yes>, "&Yes", "&Ano"},
    {ButtonText<QDialogButtonBox::Close>, "Close", "Zavřít"},
    {LookInText, "Look in:", "Hledat v:"},
    // The error box's button is "OK" in both.
    {ButtonText<QDialogButtonBox::Ok>, "OK", "OK"},
};

}  // namespace

class QtTextsTest : public QObject {
    Q_OBJECT

private slots:
    // The functions run in this order: the texts are English until the
    // catalogue is installed, and stay Czech after.
    void unreadableCatalogueKeepsEnglish() {
        QTemporaryDir emptyFolder;
        QVERIFY(!InstallQtCzechTexts(*QCoreApplication::instance(), emptyFolder.path()));
        for (const TStandardText& text : kStandardTexts) {
            QCOMPARE(text.Read(), text.English);
        }
    }

    void startUpMakesQtTextsCzech() {
        QVERIFY(InstallQtCzechTexts(*QCoreApplication::instance()));
        for (const TStandardText& text : kStandardTexts) {
            QCOMPARE(text.Read(), text.Czech);
        }
    }
};

int main(int argc, char* argv[]) {
    return morvane::testing::RunWindowTest<QtTextsTest>(argc, argv);
}
#include "qttexts_test.moc"

// The import wizards' transformation page: its method, its description of the source system,
// and chains travelling from one page to another over the clipboard.
#include "coords/gui/import_transformation_page.h"
#include "coords/gui/transform_control.h"
#include "platform/gui/qt_text.h"
#include "support/modal_driver.h"
#include "support/reference_def.h"
#include "support/temp_dir.h"
#include "text/number_text.h"
#include "ui/scripted_interaction.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <numbers>
#include <typeinfo>
#include <vector>

namespace {

// A host whose database has the given system; its folder holds no outside library unless one
// is given.
class TFakeHost final : public IImportTransformationHost {
public:
    explicit TFakeHost(TCoordinateReferenceDef database, AnsiString folder = {})
        : m_database(std::move(database)),
          m_folder(folder.empty() ? m_empty.Path().string() + "/" : std::move(folder)) {}
    AnsiString ApplicationFolder() const override { return m_folder; }
    TCoordinateReferenceDef DatabaseReference() const override { return m_database; }

private:
    TTempDir m_empty;
    TCoordinateReferenceDef m_database;
    AnsiString m_folder;
};

TCoordinateReferenceDef Utm37() {
    TCoordinateReferenceDef def =
        RefDef("PROJ4", "+proj=utm +zone=37 +datum=WGS84 +units=m", false, "WGS 84 / UTM zone 37N");
    def.SetBoundingBoxText("0 0 1000000 9000000");
    return def;
}

// A step's parameters in the order of its text form.
std::vector<double> Parameters(const TTransformItem& item) {
    if (auto* t = dynamic_cast<const TTransformTranslationItem*>(&item))
        return {t->OffsetX(), t->OffsetY()};
    if (auto* s = dynamic_cast<const TTransformScalingItem*>(&item))
        return {s->ScaleX(), s->ScaleY()};
    if (auto* h = dynamic_cast<const TTransformShearItem*>(&item))
        return {h->ShearX(), h->ShearY()};
    return {static_cast<const TTransformRotationItem&>(item).Angle()};
}

QString Memo(const TImportTransformationPage& page) {
    return page.findChild<QPlainTextEdit*>(QStringLiteral("CsMemo"))->toPlainText();
}

TEST(TransformationPage, OpensAffineWithAnEmptyChainAndTheComboSwitchesSheets) {
    TImportTransformationPage page;
    auto* combo = page.findChild<QComboBox*>(QStringLiteral("TransformationTypeComboBox"));
    auto* sheets = page.findChild<QStackedWidget*>(QStringLiteral("TransformationTypePageControl"));
    ASSERT_TRUE(combo && sheets);
    EXPECT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(0), QtText("Аффинная"));
    EXPECT_EQ(combo->itemText(1), QtText("По параметрам СК"));
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(sheets->currentWidget()->objectName(),
              QStringLiteral("AffineTransformationTabSheet"));
    EXPECT_EQ(page.Method(), TImportTransformationMethod::Affine);
    EXPECT_EQ(page.Chain().Count(), 0);
    EXPECT_EQ(&page.TransformControl()->Chain(), &page.Transformation().Chain());

    combo->setCurrentIndex(1);
    EXPECT_EQ(sheets->currentWidget()->objectName(), QStringLiteral("SCTransformationTabSheet"));
    EXPECT_EQ(page.Method(), TImportTransformationMethod::CoordinateSystem);
    combo->setCurrentIndex(0);
    EXPECT_EQ(sheets->currentWidget()->objectName(),
              QStringLiteral("AffineTransformationTabSheet"));
    EXPECT_EQ(page.Method(), TImportTransformationMethod::Affine);
}

TEST(TransformationPage, DescribesTheSourceSystemAgainstTheDatabases) {
    TImportTransformationPage page;
    page.Setup(TFakeHost(Utm37()), TImportTransformationSetupOrder::CatalogFirst);
    auto* csEdit = page.findChild<QLineEdit*>(QStringLiteral("CsEdit"));
    auto* memo = page.findChild<QPlainTextEdit*>(QStringLiteral("CsMemo"));
    EXPECT_TRUE(csEdit->isReadOnly());
    EXPECT_TRUE(memo->isReadOnly());
    EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

    const QString same =
        QtText("Параметры исходной СК, совпадают с параметрами СК базы данных, данные будут "
               "импортированы без трансформации.\n"
               "\n"
               "Исходная система координат:\n"
               "Название: WGS 84 / UTM zone 37N\n"
               "Параметры: PROJ4:+proj=utm +zone=37 +datum=WGS84 +units=m\n"
               "Область определения: 0 0 1000000 9000000\n"
               "Координаты X и Y поменяны местами: Нет");
    // Set-up shows the database's system as the source.
    EXPECT_EQ(Memo(page), same);
    EXPECT_EQ(csEdit->text(), QStringLiteral("WGS 84 / UTM zone 37N"));
    EXPECT_TRUE(IsSame(page.SourceReference(), Utm37()));

    // Differing only in the X/Y exchange is a different system.
    TCoordinateReferenceDef swapped = Utm37();
    swapped.SwitchXY = true;
    swapped.HasBoundingBox = false;
    swapped.Caption = Ansi("Зона 37, X на север");
    page.ShowSource(swapped);
    EXPECT_EQ(Memo(page),
              QtText("Данные будут импортированы с трансформацией по следующими параметрам:\n"
                     "\n"
                     "Исходная система координат:\n"
                     "Название: Зона 37, X на север\n"
                     "Параметры: PROJ4:+proj=utm +zone=37 +datum=WGS84 +units=m\n"
                     "Область определения: не определена\n"
                     "Координаты X и Y поменяны местами: Да\n"
                     "\n"
                     "Система координат базы данных:\n"
                     "Название: WGS 84 / UTM zone 37N\n"
                     "Параметры: PROJ4:+proj=utm +zone=37 +datum=WGS84 +units=m\n"
                     "Область определения: 0 0 1000000 9000000\n"
                     "Координаты X и Y поменяны местами: Нет"));
    EXPECT_EQ(csEdit->text(), QtText("Зона 37, X на север"));
    EXPECT_TRUE(page.SourceReference().SwitchXY);
    EXPECT_EQ(memo->textCursor().position(), 0);

    page.ShowSource(LocalCoordinateReference(LocalCoordinateSystemCaption()));
    EXPECT_EQ(Memo(page), QtText("Исходная система координат не определена, данные будут "
                                 "импортированы без трансформации"));
    EXPECT_EQ(csEdit->text(), QtText("<Локальная система координат>"));

    // "Сбросить" shows the current source again.
    page.ShowSource(swapped);
    const QString different = Memo(page);
    QTest::mouseClick(page.findChild<QPushButton*>(QStringLiteral("CSResetButton")),
                      Qt::LeftButton);
    EXPECT_EQ(Memo(page), different);
    EXPECT_TRUE(IsSame(page.SourceReference(), swapped));
}

TEST(TransformationPage, ChainCopiedOnOnePageIsPastedOnAnotherWithItsKindsOrderAndDigits) {
    TScriptedInteraction interaction;
    TImportTransformationPage from, to;
    constexpr double kPi = std::numbers::pi;
    from.Chain().Add(std::make_unique<TTransformTranslationItem>(6378137.123456789, -1.0 / 3));
    from.Chain().Add(std::make_unique<TTransformRotationItem>(-kPi / 7));
    from.Chain().Add(std::make_unique<TTransformScalingItem>(1.0000123456789012, 2e-7));
    from.Chain().Add(std::make_unique<TTransformShearItem>(kPi * 1e5, -kPi / 1e5));
    to.Chain().Add(std::make_unique<TTransformTranslationItem>(1, 1)); // replaced, not extended

    for (TImportTransformationPage* page : {&from, &to}) {
        page->show();
        page->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(page));
        QTreeWidget* list = page->TransformControl()->List();
        list->setFocus();
        QTest::keyClick(list, page == &from ? Qt::Key_C : Qt::Key_P, Qt::ControlModifier);
    }
    EXPECT_TRUE(interaction.shown.empty());

    ASSERT_EQ(to.Chain().Count(), from.Chain().Count());
    ASSERT_EQ(to.TransformControl()->List()->topLevelItemCount(), from.Chain().Count());
    const auto digits15 = [](double v) { return FormatGeneral(v, 15, '.'); };
    for (int i = 0; i < from.Chain().Count(); ++i) {
        const TTransformItem& a = from.Chain().Get(i);
        const TTransformItem& b = to.Chain().Get(i);
        SCOPED_TRACE(a.TypeWord());
        EXPECT_EQ(typeid(a), typeid(b));
        const std::vector<double> pa = Parameters(a), pb = Parameters(b);
        ASSERT_EQ(pa.size(), pb.size());
        for (size_t k = 0; k < pa.size(); ++k)
            EXPECT_EQ(digits15(pa[k]), digits15(pb[k])) << k;
    }
}

TEST(TransformationPage, ChangeOpensTheEditorOnTheSourceAndShowsWhatItReturns) {
    TScriptedInteraction interaction;
    TImportTransformationPage page;
    // The built binaries' folder holds the library in its GDAL subfolder.
    page.Setup(TFakeHost(Utm37(), TI_BIN_DIR), TImportTransformationSetupOrder::CatalogFirst);
    page.findChild<QComboBox*>(QStringLiteral("TransformationTypeComboBox"))->setCurrentIndex(1);
    page.show();
    auto* change = page.findChild<QPushButton*>(QStringLiteral("CsEditButton"));
    ASSERT_EQ(change->text(), QtText("Изменить..."));
    const QString same = Memo(page);

    // Cancel changes nothing.
    QString openedOn, firstEntry;
    WhenShown("CoordinateSystemEditorForm", [&](QWidget* form) {
        openedOn = form->findChild<QLineEdit*>(QStringLiteral("NameEdit"))->text();
        const QAbstractItemModel* list =
            form->findChild<QTreeView*>(QStringLiteral("ListView"))->model();
        firstEntry = list->index(0, 0).data().toString();
        QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("CancelButton")),
                          Qt::LeftButton);
    });
    QTest::mouseClick(change, Qt::LeftButton);
    EXPECT_EQ(openedOn, QStringLiteral("WGS 84 / UTM zone 37N"));
    // Undefined systems are not offered: the local system does not head the list.
    EXPECT_FALSE(firstEntry.isEmpty());
    EXPECT_NE(firstEntry.toStdString(), "<Локальная система координат>");
    EXPECT_EQ(Memo(page), same);
    EXPECT_TRUE(IsSame(page.SourceReference(), Utm37()));

    // OK with a geographic system typed on the parameter page makes it the source.
    WhenShown("CoordinateSystemEditorForm", [](QWidget* form) {
        auto* pages = form->findChild<QTabWidget*>(QStringLiteral("PageControl"));
        pages->setCurrentWidget(form->findChild<QWidget*>(QStringLiteral("EditTabSheet")));
        form->findChild<QLineEdit*>(QStringLiteral("NameEdit"))->setText(QStringLiteral("WGS 84"));
        form->findChild<QPlainTextEdit*>(QStringLiteral("DatumMemo"))
            ->setPlainText(QStringLiteral("+proj=longlat +datum=WGS84 +no_defs"));
        form->findChild<QLineEdit*>(QStringLiteral("BoundsEdit"))->clear();
        QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("OkButton")),
                          Qt::LeftButton);
    });
    QTest::mouseClick(change, Qt::LeftButton);
    EXPECT_TRUE(interaction.shown.empty()) << interaction.Texts().front();
    EXPECT_EQ(page.SourceReference().Caption, "WGS 84");
    EXPECT_EQ(page.SourceReference().Parameters, "+proj=longlat +datum=WGS84 +no_defs");
    EXPECT_EQ(page.findChild<QLineEdit*>(QStringLiteral("CsEdit"))->text(),
              QStringLiteral("WGS 84"));
    EXPECT_TRUE(Memo(page).startsWith(
        QtText("Данные будут импортированы с трансформацией по следующими параметрам:\n\n"
               "Исходная система координат:\nНазвание: WGS 84\n")))
        << Memo(page).toStdString();
}

} // namespace

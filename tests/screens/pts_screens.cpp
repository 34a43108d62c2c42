// The PTS import wizard on the demo project: the sample survey file chosen and previewed, a
// style of the geodetic points with its table and fields, and the transformation page with a
// local chain of a shift and a turn.
#include "coords/gui/import_transformation_page.h"
#include "coords/transform_data.h"
#include "platform/gui/qt_text.h"
#include "pts/gui/pts_import_form.h"
#include "screens/demo_addon.h"
#include "screens/screen_registry.h"
#include "ui/scripted_interaction.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>
#include <QTreeWidget>

#include <cmath>

namespace {

template <class T = QWidget> T* Find(QWidget& root, const char* name) {
    T* widget = root.findChild<T*>(QString::fromLatin1(name));
    if (!widget)
        throw std::runtime_error(std::string("no control ") + name);
    return widget;
}

void Choose(QWidget& root, const char* comboName, const char* utf8) {
    auto* box = Find<QComboBox>(root, comboName);
    const int index = box->findText(QString::fromUtf8(utf8));
    if (index < 0)
        throw std::runtime_error(std::string("no entry ") + utf8);
    box->setCurrentIndex(index);
    emit box->activated(index);
}

// "..." beside the layer: once the chooser shows, the style with the name is confirmed.
void ChooseStyle(QWidget& form, const char* utf8) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, style = QString::fromUtf8(utf8)] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (!window->isVisible() || window->objectName() != QStringLiteral("ProjectTreeForm"))
                continue;
            timer->stop();
            timer->deleteLater();
            auto* tree = window->findChild<QTreeWidget*>(QStringLiteral("ProjectTree"));
            const auto found = tree->findItems(style, Qt::MatchExactly | Qt::MatchRecursive);
            if (!found.isEmpty())
                tree->setCurrentItem(found.front());
            window->findChild<QAbstractButton*>(QStringLiteral("OkButton"))->click();
            return;
        }
    });
    timer->start();
    Find<QAbstractButton>(form, "LayerStyleButton")->click();
}

// The first page as a user leaves it before "Далее >".
std::unique_ptr<TPtsImportForm> Wizard(const TScreenContext& context) {
    auto form = std::make_unique<TPtsImportForm>();
    form->Setup(DemoAddon(context));
    const std::filesystem::path folder =
        std::filesystem::path(context.workDir) / std::filesystem::u8path("Съемка 2024-05-14");
    std::filesystem::create_directories(folder);
    const std::filesystem::path file = folder / "topo.pts";
    std::filesystem::copy_file(std::filesystem::path(context.sourceDir) / "samples" / "topo.pts",
                               file, std::filesystem::copy_options::overwrite_existing);
    TScriptedInteraction ui;
    ui.fileAnswers.push_back({file});
    Find<QAbstractButton>(*form, "ImportFileButton")->click();
    // The surveyor's folder rather than the tool's scratch one, so that the picture is the same
    // from run to run.
    Find<QLineEdit>(*form, "ImportFileNameEdit")
        ->setText(QString::fromUtf8("/home/geodesist/Съемка/2024-05-14/topo.pts"));
    ChooseStyle(*form, "Пикет");
    Choose(*form, "TableComboBox", "POINTS");
    Choose(*form, "NumberComboBox", "NUMBER");
    Choose(*form, "CommentComboBox", "NAME");
    return form;
}

std::unique_ptr<QWidget> SettingsPage(const TScreenContext& context) {
    return Wizard(context);
}

std::unique_ptr<QWidget> TransformationPage(const TScreenContext& context) {
    auto form = Wizard(context);
    TScriptedInteraction ui;
    Find<QAbstractButton>(*form, "NextButton")->click();
    TTransformData& chain = form->TransformationPage().Chain();
    chain.Add(std::make_unique<TTransformRotationItem>(1.25 * M_PI / 180));
    chain.Add(std::make_unique<TTransformTranslationItem>(-152.43, 87.9));
    return form;
}

const bool registered = RegisterScreens({
    {"pts-import-settings", SettingsPage},
    {"pts-import-transformation", TransformationPage},
});

} // namespace

// The shared widgets on a small sample form, so their look at both scales can be checked.
#include "platform/gui/qt_text.h"
#include "screens/screen_registry.h"
#include "ui/gui/angle_edit.h"
#include "ui/gui/id_caption_combo.h"
#include "ui/gui/number_edit.h"

#include <QDialog>
#include <QFormLayout>

#include <numbers>

namespace {

std::unique_ptr<QWidget> SharedWidgets(const TScreenContext&) {
    auto form = std::make_unique<QDialog>();
    form->setWindowTitle(QtText("Общие элементы"));
    auto* layout = new QFormLayout(form.get());
    auto* layers = new TIdCaptionComboBox(form.get());
    layers->SetSorted(true);
    layers->AddItem("ROADS", Ansi("[Топографическая карта] Дороги"));
    layers->AddItem("GEODESY", Ansi("[Топографическая карта] Геодезические пункты"));
    layers->setCurrentIndex(0);
    auto* number = new TNumberEdit(form.get());
    number->SetValue(2500.125);
    auto* angle = new TAngleEdit(form.get());
    angle->SetAngle(std::numbers::pi / 6 + 0.0001);
    layout->addRow(QtText("Слой:"), layers);
    layout->addRow(QtText("По Х:"), number);
    layout->addRow(QtText("Угол"), angle);
    return form;
}

const bool registered = RegisterScreens({{"shared-widgets", SharedWidgets}});

} // namespace

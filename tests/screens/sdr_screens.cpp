// The progress window of the SDR import while it reads a file.
#include "platform/gui/qt_text.h"
#include "screens/screen_registry.h"
#include "ui/gui/long_operation_form.h"

#include <QApplication>

namespace {

std::unique_ptr<QWidget> LongOperation(const TScreenContext&) {
    // Lives to the end of the process, with its operation left open.
    static auto& operations = *new TLongOperations;
    operations.SetViewFactory(QtLongOperationViewFactory(operations, std::chrono::milliseconds(0)));
    operations.Start(true, 0);
    operations.SetText(
        Ansi("Импорт файла \"/home/geodesist/Съемка/2024-05-14/Участок 3/station-12.sdr\""));
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QStringLiteral("LongOperationForm"))
            return std::unique_ptr<QWidget>(w); // the view lets go of a form freed elsewhere
    return nullptr;
}

const bool registered = RegisterScreens({{"long-operation", LongOperation}});

} // namespace

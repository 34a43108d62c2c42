// The dialog of the test add-on's third command: a two-page form of named controls, built the
// way the module builds its wizards (object names on every control, the module's message
// boxes, open-file dialog and pick list), that writes one object through the host each time
// "AddButton" is pressed. Session player tests drive it.
#include "test_addon_dialog.h"

#include "host_api/addon_api.h"
#include "host_api/automation_api.h"
#include "platform/com/bstr.h"
#include "platform/com/variant.h"
#include "platform/gui/qt_text.h"
#include "platform/gui/window.h"
#include "ui/gui/qt_interaction.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <stdexcept>

namespace {

QString FromBstr(const TBstr& b) {
    return QString::fromUtf16(b.Get(), b.Get() ? SysStringLen(b.Get()) : 0);
}

TBstr ToBstr(const QString& text) {
    return TBstr(text.toStdU16String());
}

void Check(HRESULT hr, const char* what) {
    if (FAILED(hr))
        throw std::runtime_error(what);
}

class TTestDialog final : public QDialog {
public:
    TTestDialog(TComPtr<IKavroApplication> app, QWidget* owner)
        : QDialog(owner), m_app(std::move(app)) {
        setObjectName("TestWizard");
        setWindowTitle(QtText("Тестовый мастер"));
        Check(m_app->get_ActiveDb(m_db.Put()), "get_ActiveDb");

        m_pages = new QStackedWidget(this);
        m_pages->setObjectName("Pages");
        auto* first = new QWidget(m_pages);
        auto* firstLayout = new QFormLayout(first);
        m_layers = new QListWidget(first);
        m_layers->setObjectName("LayerList");
        m_styles = new QComboBox(first);
        m_styles->setObjectName("StyleCombo");
        auto* pick = new QPushButton(QtText("Стиль..."), first);
        pick->setObjectName("PickButton");
        firstLayout->addRow(QtText("Слой:"), m_layers);
        firstLayout->addRow(QtText("Стиль:"), m_styles);
        firstLayout->addRow(QString(), pick);

        auto* second = new QWidget(m_pages);
        auto* form = new QFormLayout(second);
        m_name = new QLineEdit(second);
        m_name->setObjectName("NameEdit");
        m_number = new QSpinBox(second);
        m_number->setObjectName("NumSpin");
        m_number->setRange(0, 9999);
        m_height = new QDoubleSpinBox(second);
        m_height->setObjectName("HeightSpin");
        m_height->setRange(-500, 9000);
        m_date = new QDateEdit(QDate(2024, 1, 1), second);
        m_date->setObjectName("DateEdit");
        m_ring = new QCheckBox(QtText("Кольцо"), second);
        m_ring->setObjectName("RingCheck");
        m_grid = new QTableWidget(1, 2, second);
        m_grid->setObjectName("CoordGrid");
        m_grid->setHorizontalHeaderLabels({"X", "Y"});
        m_grid->setItem(0, 0, new QTableWidgetItem("100"));
        m_grid->setItem(0, 1, new QTableWidgetItem("200"));
        m_grid->setMaximumHeight(70);
        m_note = new QPlainTextEdit(second);
        m_note->setObjectName("NoteMemo");
        auto* browse = new QPushButton(QtText("Файлы..."), second);
        browse->setObjectName("BrowseButton");
        auto* add = new QPushButton(QtText("Добавить"), second);
        add->setObjectName("AddButton");
        m_count = new QLabel(QtText("Добавлено объектов: 0"), second);
        m_count->setObjectName("CountLabel");
        form->addRow(QtText("Название:"), m_name);
        form->addRow(QtText("Номер:"), m_number);
        form->addRow(QtText("Высота:"), m_height);
        form->addRow(QtText("Дата:"), m_date);
        form->addRow(QString(), m_ring);
        form->addRow(QtText("Координаты:"), m_grid);
        form->addRow(QtText("Примечание:"), m_note);
        form->addRow(browse, add);
        form->addRow(QString(), m_count);
        m_pages->addWidget(first);
        m_pages->addWidget(second);

        m_back = new QPushButton(QtText("< Назад"), this);
        m_back->setObjectName("BackButton");
        m_next = new QPushButton(QtText("Далее >"), this);
        m_next->setObjectName("NextButton");
        auto* close = new QPushButton(QtText("Закрыть"), this);
        close->setObjectName("CloseButton");
        auto* buttons = new QHBoxLayout;
        buttons->addStretch();
        buttons->addWidget(m_back);
        buttons->addWidget(m_next);
        buttons->addWidget(close);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(m_pages);
        layout->addLayout(buttons);

        connect(m_layers, &QListWidget::currentRowChanged, this, [this] { FillStyles(); });
        connect(pick, &QPushButton::clicked, this, [this] { PickStyle(); });
        connect(browse, &QPushButton::clicked, this, [this] { Browse(); });
        connect(add, &QPushButton::clicked, this, [this] { Add(); });
        connect(m_back, &QPushButton::clicked, this, [this] { ShowPage(0); });
        connect(m_next, &QPushButton::clicked, this, [this] { ShowPage(1); });
        connect(close, &QPushButton::clicked, this, &QDialog::accept);
        FillLayers();
        ShowPage(0);
    }

private:
    void ShowPage(int page) {
        m_pages->setCurrentIndex(page);
        m_back->setEnabled(page > 0);
        m_next->setEnabled(page == 0);
    }

    void FillLayers() {
        TComPtr<IKavroProjectView> view;
        Check(m_app->get_ProjectView(view.Put()), "get_ProjectView");
        TBstr map, active;
        Check(view->get_ActiveMap(map.Put()), "get_ActiveMap");
        Check(view->get_ActiveLayer(active.Put()), "get_ActiveLayer");
        std::int32_t count = 0;
        Check(view->GetLayerCount(map.Get(), &count), "GetLayerCount");
        for (std::int32_t i = 0; i < count; ++i) {
            TBstr id, name;
            Check(view->GetLayer(map.Get(), i, id.Put(), name.Put()), "GetLayer");
            auto* item = new QListWidgetItem(FromBstr(name), m_layers);
            item->setData(Qt::UserRole, FromBstr(id));
            if (FromBstr(id) == FromBstr(active))
                m_layers->setCurrentItem(item);
        }
    }

    QString LayerId() const {
        return m_layers->currentItem() ? m_layers->currentItem()->data(Qt::UserRole).toString()
                                       : QString();
    }

    void FillStyles() {
        m_styles->clear();
        TComPtr<IKavroLayer> layer;
        TComPtr<IKavroStyles> styles;
        Check(m_db->GetLayer(ToBstr(LayerId()).Get(), layer.Put()), "GetLayer");
        Check(layer->get_Styles(styles.Put()), "get_Styles");
        std::int32_t count = 0;
        Check(styles->get_Count(&count), "get_Count");
        for (std::int32_t i = 0; i < count; ++i) {
            TComPtr<IKavroStyle> style;
            TBstr id, name;
            Check(styles->Item(i, style.Put()), "Item");
            Check(style->get_ID(id.Put()), "get_ID");
            Check(style->get_Name(name.Put()), "get_Name");
            m_styles->addItem(FromBstr(name), FromBstr(id));
        }
    }

    QRect AnchorOf(QWidget* w) const { return QRect(w->mapToGlobal(QPoint(0, 0)), w->size()); }

    void PickStyle() {
        TPickListRequest request;
        const QRect r = AnchorOf(m_styles);
        request.anchor = {r.left(), r.top(), r.width(), r.height()};
        for (int i = 0; i < m_styles->count(); ++i)
            request.items.push_back(FromQString(m_styles->itemText(i)));
        request.selected = m_styles->currentIndex();
        if (auto chosen = QtInteraction().PickFromList(request))
            m_styles->setCurrentIndex(*chosen);
    }

    void Browse() {
        TOpenFileOptions options;
        options.title = Ansi("Выбрать файлы");
        options.filter = Ansi("Текстовые файлы (*.txt)|*.txt|Все файлы (*.*)|*.*");
        options.defaultExtension = "txt";
        options.multiSelect = true;
        QStringList lines;
        for (const auto& path : QtInteraction().OpenFiles(options))
            lines << QFileInfo(QString::fromStdU16String(path.u16string())).fileName();
        if (!lines.isEmpty())
            m_note->setPlainText(lines.join('\n'));
    }

    bool HasTable(IKavroLayer* layer, const QString& name) {
        TComPtr<IKavroSemTables> tables;
        Check(layer->get_SemTables(tables.Put()), "get_SemTables");
        std::int32_t count = 0;
        Check(tables->get_Count(&count), "get_Count");
        for (std::int32_t i = 0; i < count; ++i) {
            TComPtr<IKavroSemTable> table;
            TBstr tableName;
            Check(tables->Item(i, table.Put()), "Item");
            Check(table->get_Name(tableName.Put()), "get_Name");
            if (FromBstr(tableName) == name)
                return true;
        }
        return false;
    }

    void Add() {
        if (m_name->text().isEmpty()) {
            QtInteraction().ShowError(Ansi("Не задано название"));
            return;
        }
        bool okX = false, okY = false;
        const double x = m_grid->item(0, 0)->text().toDouble(&okX);
        const double y = m_grid->item(0, 1)->text().toDouble(&okY);
        if (!okX || !okY || m_styles->currentIndex() < 0) {
            QtInteraction().ShowError(Ansi("Неверные координаты или стиль"));
            return;
        }
        try {
            Write(x, y);
        } catch (const std::exception& e) {
            QtInteraction().ShowError(Ansi("Ошибка записи: ") + e.what());
            return;
        }
        ++m_added;
        m_count->setText(QtText("Добавлено объектов: %1").arg(m_added));
        QtInteraction().ShowMessage(
            FromQString(QtText("Добавлен объект \"%1\"").arg(m_name->text())));
    }

    void Write(double x, double y) {
        TComPtr<IKavroMapObjects> objects;
        TComPtr<IKavroMapObject> object;
        TComPtr<IKavroShapes> shapes;
        TComPtr<IKavroShape> shape;
        TComPtr<IKavroContour> contour;
        TComPtr<IKavroContourPart> part;
        TComPtr<IKavroLayer> layer;
        const TBstr layerId = ToBstr(LayerId());
        Check(m_db->get_MapObjects(objects.Put()), "get_MapObjects");
        Check(objects->Add(layerId.Get(), object.Put()), "Add");
        Check(object->get_Shapes(shapes.Put()), "get_Shapes");
        Check(shapes->Add(-1, ToBstr(m_styles->currentData().toString()).Get(), shape.Put()),
              "Shapes.Add");
        Check(shape->get_Contour(contour.Put()), "get_Contour");
        Check(contour->Add(-1, part.Put()), "Contour.Add");
        if (m_ring->isChecked()) {
            for (auto [dx, dy] : {std::pair{-5, -5}, {5, -5}, {5, 5}, {-5, 5}})
                Check(part->AddVertex(-1, x + dx, y + dy, 0), "AddVertex");
            Check(part->put_Closed(VARIANT_TRUE), "put_Closed");
        } else {
            Check(part->AddVertex(-1, x, y, 0), "AddVertex");
        }
        Check(m_db->GetLayer(layerId.Get(), layer.Put()), "GetLayer");
        TComPtr<IKavroSemData> data;
        Check(object->get_SemData(data.Put()), "get_SemData");
        if (HasTable(layer.Get(), "POINTS")) {
            const TBstr table = ToBstr("POINTS");
            auto set = [&](const char* field, const TVariant& value) {
                Check(data->SetValue(table.Get(), ToBstr(field).Get(), value.Raw(), 0), field);
            };
            set("NAME", TVariant::Text(m_name->text().toStdU16String()));
            set("NUM", TVariant::Int(m_number->value()));
            set("H", TVariant::Double(m_height->value()));
            set("DATE", TVariant::Text(m_date->date().toString(Qt::ISODate).toStdU16String()));
        }
        if (HasTable(layer.Get(), "HISTORY") && !m_note->toPlainText().isEmpty()) {
            const TBstr table = ToBstr("HISTORY");
            std::int32_t record = 0;
            Check(data->NewRecordIndex(table.Get(), &record), "NewRecordIndex");
            Check(data->SetValue(table.Get(), ToBstr("NOTE").Get(),
                                 TVariant::Text(m_note->toPlainText().toStdU16String()).Raw(),
                                 record),
                  "NOTE");
        }
        Check(m_app->ShowRect(x - 50, y - 50, x + 50, y + 50, kShowRectMoveView), "ShowRect");
        Check(objects->Commit(), "Commit");
    }

    TComPtr<IKavroApplication> m_app;
    TComPtr<IKavroDb> m_db;
    QStackedWidget* m_pages = nullptr;
    QListWidget* m_layers = nullptr;
    QComboBox* m_styles = nullptr;
    QLineEdit* m_name = nullptr;
    QSpinBox* m_number = nullptr;
    QDoubleSpinBox* m_height = nullptr;
    QDateEdit* m_date = nullptr;
    QCheckBox* m_ring = nullptr;
    QTableWidget* m_grid = nullptr;
    QPlainTextEdit* m_note = nullptr;
    QLabel* m_count = nullptr;
    QPushButton* m_back = nullptr;
    QPushButton* m_next = nullptr;
    int m_added = 0;
};

} // namespace

HRESULT RunTestDialog(IUnknown* manager) {
    try {
        TComPtr<IUnknown> host(manager);
        auto app = host.As<IKavroApplication>();
        auto windows = host.As<IQmAddOnManager>();
        if (!app || !windows)
            return E_NOINTERFACE;
        HWND owner = 0;
        windows->GetOwnerWindow(&owner);
        EnsureGuiApplication();
        QtInteraction().SetApplicationTitle(Ansi("Тестовое расширение"));
        QtInteraction().SetOwnerWindow(WidgetOfWindow(owner));
        TTestDialog dialog(app, WidgetOfWindow(owner));
        dialog.exec();
        return S_OK;
    } catch (...) {
        return E_FAIL;
    }
}

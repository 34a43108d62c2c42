#include "main_window.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QMenuBar>
#include <QMessageBox>
#include <QPixmap>
#include <QSplitter>
#include <QStatusBar>

#include <iostream>
#include <map>

namespace kavrohost {

namespace {
QString Q(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<int>(utf8.size()));
}
} // namespace

TMainWindow::TMainWindow() {
    setObjectName("KavroHostWindow");
    setWindowTitle("kavro-host");
    auto* splitter = new QSplitter(this);
    m_tree = new QTreeWidget(splitter);
    m_tree->setObjectName("ProjectTree");
    m_tree->setHeaderLabels({QString::fromUtf8("Проект"), QString::fromUtf8("Идентификатор")});
    m_view = new TMapView(splitter);
    m_panel = new TAttributePanel(splitter);
    splitter->addWidget(m_tree);
    splitter->addWidget(m_view);
    splitter->addWidget(m_panel);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({300, 600, 260});
    setCentralWidget(splitter);
    resize(1200, 760);
    m_view->OnSelect([this](std::optional<std::size_t> index) { ShowSelected(index); });
    m_count = new QLabel(this);
    m_count->setObjectName("ObjectCount");
    statusBar()->addPermanentWidget(m_count);

    QMenu* file = menuBar()->addMenu(QString::fromUtf8("&Файл"));
    file->addAction(QString::fromUtf8("&Открыть проект..."), this, [this] {
        QString name = QFileDialog::getOpenFileName(this, QString::fromUtf8("Открыть проект"));
        if (!name.isEmpty())
            OpenProject(name.toStdString());
    });
    file->addAction(QString::fromUtf8("&Выход"), this, [this] { close(); });
    QMenu* view = menuBar()->addMenu(QString::fromUtf8("&Вид"));
    view->addAction(QString::fromUtf8("&Все объекты"), this,
                    [this] { m_view->ZoomTo(std::nullopt); });
    view->addAction(QString::fromUtf8("&Область показа"), this, [this] {
        if (m_session)
            if (auto r = m_session->LastShowRect())
                m_view->ZoomTo(QRectF(QPointF((*r)[0], (*r)[1]), QPointF((*r)[2], (*r)[3])));
    });
    LoadAddons();
    BuildAddonMenus();
}

TMainWindow::~TMainWindow() {
    CloseProject();
    m_addons.clear();
}

void TMainWindow::LoadAddons() {
    for (const auto& reg : RegisteredAddons()) {
        if (!reg.active || reg.module.empty())
            continue;
        try {
            auto loaded = std::make_unique<TLoadedAddon>();
            loaded->module = std::make_unique<TAddonModule>(reg.module);
            loaded->addon = std::make_unique<TAddon>(loaded->module->Create(reg.classId));
            loaded->description = loaded->addon->Describe();
            m_addons.push_back(std::move(loaded));
        } catch (const std::exception& e) {
            std::cerr << "kavro-host: расширение " << reg.caption << ": " << e.what() << "\n";
        }
    }
}

void TMainWindow::BuildAddonMenus() {
    std::map<QString, QMenu*> menus; // path of levels -> menu
    for (auto& loaded : m_addons) {
        for (const auto& command : loaded->description.commands) {
            QStringList levels = Q(command.menuPath).split('\\', Qt::SkipEmptyParts);
            if (levels.isEmpty())
                levels << Q(command.caption);
            QMenu* menu = nullptr;
            QString path;
            for (int i = 0; i + 1 < levels.size(); ++i) {
                path += levels[i] + '\\';
                auto it = menus.find(path);
                if (it == menus.end()) {
                    QMenu* created =
                        menu ? menu->addMenu(levels[i]) : menuBar()->addMenu(levels[i]);
                    it = menus.emplace(path, created).first;
                }
                menu = it->second;
            }
            QAction* action =
                menu ? menu->addAction(levels.last()) : menuBar()->addAction(levels.last());
            action->setObjectName(Q(command.name));
            action->setToolTip(Q(command.caption));
            action->setEnabled(false);
            TLoadedAddon* target = loaded.get();
            std::int32_t id = command.id;
            connect(action, &QAction::triggered, this,
                    [this, target, id] { RunCommand(*target, id); });
            m_commandActions.push_back(action);
        }
    }
}

bool TMainWindow::OpenProject(const std::filesystem::path& file, bool messageBox) {
    CloseProject();
    try {
        m_session = std::make_unique<THostSession>(
            file, QCoreApplication::applicationDirPath().toStdString());
    } catch (const std::exception& e) {
        if (messageBox)
            QMessageBox::critical(this, "kavro-host", QString::fromUtf8(e.what()));
        else
            std::cerr << "kavro-host: " << e.what() << "\n";
        return false;
    }
    HWND handle = static_cast<HWND>(winId());
    m_session->SetWindows(handle, handle);
    m_session->OnShowRect([this](const std::array<double, 4>& r) {
        m_showAsked = true;
        m_view->ZoomTo(QRectF(QPointF(r[0], r[1]), QPointF(r[2], r[3])));
    });
    m_projectFile = file;
    setWindowTitle(QString::fromStdString(file.stem().string()) + " - kavro-host");
    m_captions = TProjectCaptions(ExportDescription(file));
    m_view->SetCaptions(m_captions);
    FillTree();
    RefreshView(true);
    InitializeAddons();
    return true;
}

void TMainWindow::CloseProject() {
    FinalizeAddons();
    m_session.reset();
    m_projectFile.clear();
    m_tree->clear();
    m_view->SetObjects({});
    m_panel->ShowObject(nullptr, m_captions);
    m_count->clear();
    setWindowTitle("kavro-host");
}

void TMainWindow::InitializeAddons() {
    for (auto& loaded : m_addons) {
        HRESULT hr = loaded->addon->Initialize(m_session->Manager());
        loaded->initialized = SUCCEEDED(hr);
        if (!loaded->initialized)
            statusBar()->showMessage(QString::fromUtf8("Расширение не инициализировано: ") +
                                     Q(loaded->description.caption));
    }
    for (QAction* a : m_commandActions)
        a->setEnabled(true);
}

void TMainWindow::FinalizeAddons() {
    for (auto& loaded : m_addons)
        if (loaded->initialized) {
            loaded->addon->Finalize();
            loaded->initialized = false;
        }
    for (QAction* a : m_commandActions)
        a->setEnabled(false);
}

void TMainWindow::RunCommand(TLoadedAddon& addon, std::int32_t commandId) {
    if (!m_session || !addon.initialized)
        return;
    std::size_t reported = m_session->ReportedErrors().size();
    const bool wasEmpty = m_session->Summary().objects == 0;
    m_showAsked = false;
    HRESULT hr;
    {
        m_running = true;
        struct TReset {
            bool& flag;
            ~TReset() { flag = false; }
        } reset{m_running};
        hr = addon.addon->Execute(commandId);
    }
    // A command that asked for no rectangle still shows what it added to an empty view.
    RefreshView(false);
    if (!m_showAsked && wasEmpty)
        m_view->ZoomTo(std::nullopt);
    auto reports = m_session->ReportedErrors();
    if (FAILED(hr) || reports.size() > reported) {
        QString text;
        for (std::size_t i = reported; i < reports.size(); ++i)
            text += Q(reports[i].message) + "\n[" + Q(reports[i].source) + "]\n";
        if (text.isEmpty())
            text = QString::fromUtf8("Команда завершилась с ошибкой 0x%1")
                       .arg(static_cast<unsigned>(hr), 8, 16, QChar('0'));
        QMessageBox::warning(this, Q(addon.description.caption), text);
    }
}

void TMainWindow::FillTree() {
    m_tree->clear();
    nlohmann::json d = ExportDescription(m_session->ProjectFile());
    for (const auto& map : d["maps"]) {
        auto* mapItem = new QTreeWidgetItem(m_tree, {Q(map["name"]), Q(map["id"])});
        for (const auto& layer : map["layers"]) {
            auto* layerItem = new QTreeWidgetItem(mapItem, {Q(layer["name"]), Q(layer["id"])});
            for (const auto& style : layer["styles"]) {
                auto* item = new QTreeWidgetItem(
                    layerItem, {QString::fromUtf8("Стиль: ") + Q(style["name"]), Q(style["id"])});
                if (const TStyleCaption* s = m_captions.Style(style["id"])) {
                    QPixmap swatch(12, 12);
                    swatch.fill(TMapView::StyleColour(s->index));
                    item->setIcon(0, QIcon(swatch));
                }
            }
            for (const auto& table : layer["tables"]) {
                auto* tableItem = new QTreeWidgetItem(
                    layerItem,
                    {QString::fromUtf8("Таблица: ") + Q(table["caption"]), Q(table["id"])});
                for (const auto& field : table["fields"])
                    new QTreeWidgetItem(
                        tableItem,
                        {Q(field["caption"]), Q(field["name"]) + " (" +
                                                  QString::number(field["type"].get<int>()) + ")"});
            }
        }
    }
    m_tree->expandToDepth(1);
    m_tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
}

void TMainWindow::RefreshView(bool zoomToShowRect) {
    if (!m_session)
        return;
    const TProjectSummary summary = m_session->Summary();
    std::vector<std::size_t> styleCounts(m_captions.Styles().size() + 1, 0);
    for (const auto& [styleId, count] : summary.shapesByStyle) {
        const TStyleCaption* style = m_captions.Style(styleId);
        styleCounts[style ? static_cast<std::size_t>(style->index) + 1 : 0] +=
            static_cast<std::size_t>(count);
    }
    QRectF extent;
    if (const auto& e = summary.extent)
        extent = QRectF(QPointF((*e)[0], (*e)[1]), QPointF((*e)[2], (*e)[3]));
    m_view->SetSource(
        [session = m_session.get()](const QRectF& area, std::size_t partLimit) {
            // A paint waits for no more than this; what is left is said on the map.
            constexpr auto kReadBudget = std::chrono::milliseconds(250);
            return session->ObjectsIn({area.left(), area.top(), area.right(), area.bottom()},
                                      partLimit, std::chrono::steady_clock::now() + kReadBudget);
        },
        extent, std::move(styleCounts));
    m_selected.reset();
    m_panel->ShowObject(nullptr, m_captions);
    std::optional<QRectF> rect;
    if (auto r = m_session->LastShowRect(); r && zoomToShowRect)
        rect = QRectF(QPointF((*r)[0], (*r)[1]), QPointF((*r)[2], (*r)[3]));
    if (zoomToShowRect)
        m_view->ZoomTo(rect);
    else
        m_view->update();
    m_count->setText(QString::fromUtf8("Объектов: %1 (точек %2, линий %3, полигонов %4)")
                         .arg(summary.objects)
                         .arg(summary.points)
                         .arg(summary.lines)
                         .arg(summary.polygons));
}

void TMainWindow::ShowSelected(std::optional<std::size_t> index) {
    // The view holds only the parts in sight: the panel shows the object whole.
    m_selected.reset();
    if (index && m_session)
        m_selected = m_session->Object(m_view->Objects()[*index].id);
    m_panel->ShowObject(m_selected ? &*m_selected : nullptr, m_captions);
    if (m_selected)
        statusBar()->showMessage(QString::fromUtf8("Объект %1").arg(m_selected->id));
    else
        statusBar()->clearMessage();
}

} // namespace kavrohost

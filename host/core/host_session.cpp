#include "host_session.h"

#include "host/objects/host_context.h"
#include "host/objects/host_manager.h"
#include "host/objects/kavro_objects.h"
#include "platform/com/errorinfo.h"

namespace kavrohost {

THostSession::THostSession(const std::filesystem::path& projectFile,
                           std::filesystem::path hostFolder)
    : m_file(projectFile),
      m_ctx(std::make_shared<THostContext>(std::make_unique<TProjectStore>(projectFile))) {
    m_ctx->folder = hostFolder.string();
    m_manager = NewHostManager(m_ctx);
    m_manager->QueryInterface(IID_IKavroApplication, reinterpret_cast<void**>(&m_application));
    m_database = NewKavroDb(m_ctx);
}

THostSession::~THostSession() {
    m_database->Release();
    m_application->Release();
    m_manager->Release();
    m_ctx->onShowRect = nullptr;
    m_ctx->Close();
}

IUnknown* THostSession::Manager() {
    return m_manager;
}
IKavroApplication* THostSession::Application() {
    return m_application;
}
IKavroDb* THostSession::Database() {
    return m_database;
}

void THostSession::FailOn(std::string operation, int nthCall, std::string messageUtf8) {
    m_ctx->Faults().FailOn(std::move(operation), nthCall, std::move(messageUtf8));
}

void THostSession::FailOnAnyCall(int nthCall, std::string messageUtf8) {
    m_ctx->Faults().FailOnAnyCall(nthCall, std::move(messageUtf8));
}

void THostSession::FillDatabaseAfterCommits(int commits) {
    m_ctx->Store().FillAfterCommits(commits);
}

void THostSession::FreeDatabaseSpace() {
    m_ctx->Store().FreeSpace();
}

void THostSession::StartCallLog() {
    m_ctx->Faults().StartCallLog();
}

std::vector<THostCall> THostSession::CallLog() const {
    return m_ctx->Faults().CallLog();
}

int THostSession::CommitCount() const {
    return m_ctx->Store().CommitCount();
}

std::optional<std::array<double, 4>> THostSession::LastShowRect() const {
    return m_ctx->Store().ShowRect();
}

std::vector<TReportedError> THostSession::ReportedErrors() const {
    std::vector<TReportedError> result;
    for (const auto& r : m_ctx->Reports())
        result.push_back({AnsiToUtf8(r.source), AnsiToUtf8(r.message)});
    return result;
}

TReportedError THostSession::LastError() const {
    return {AnsiToUtf8(m_ctx->LastError().source), AnsiToUtf8(m_ctx->LastError().message)};
}

void THostSession::SetWindows(HWND owner, HWND application) {
    m_ctx->ownerWindow = owner;
    m_ctx->applicationWindow = application;
}

void THostSession::OnShowRect(std::function<void(const std::array<double, 4>&)> handler) {
    m_ctx->onShowRect = std::move(handler);
}

std::vector<TObjectRecord> THostSession::Objects() const {
    std::vector<TObjectRecord> result;
    m_ctx->Store().ForEachObject([&](const TObjectRecord& o) { result.push_back(o); });
    return result;
}

TProjectSummary THostSession::Summary() const {
    TProjectStore& store = m_ctx->Store();
    const TStoreTotals& totals = store.Totals();
    TProjectSummary summary{totals.objects, totals.points, totals.lines, totals.polygons, {},
                            totals.extent};
    for (std::size_t key = 0; key < totals.shapesByStyle.size(); ++key)
        if (totals.shapesByStyle[key] != 0) {
            const TStyleDef* style = store.Model().StyleByKey(static_cast<int>(key));
            summary.shapesByStyle[style ? style->id : std::string()] += totals.shapesByStyle[key];
        }
    return summary;
}

std::optional<TObjectRecord> THostSession::Object(long long id) const {
    return m_ctx->Store().ReadObject(id);
}

TObjectsInBox THostSession::ObjectsIn(const std::array<double, 4>& box, std::size_t partLimit,
                                      std::chrono::steady_clock::time_point deadline) const {
    return m_ctx->Store().ObjectsIn(box, partLimit, deadline);
}

void ForEachObject(const std::filesystem::path& file,
                   const std::function<void(const TObjectRecord&)>& visit) {
    TProjectStore store(file);
    store.ForEachObject(visit);
}

std::vector<TObjectRecord> ReadObjects(const std::filesystem::path& file) {
    std::vector<TObjectRecord> result;
    ForEachObject(file, [&](const TObjectRecord& o) { result.push_back(o); });
    return result;
}

std::string TakeErrorText() {
    TComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.Put()) != S_OK || !info)
        return {};
    TBstr text;
    if (FAILED(info->GetDescription(text.Put())))
        return {};
    return WideToUtf8(text.View());
}

} // namespace kavrohost

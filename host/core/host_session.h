// The host stand-in as a C++ API for tests and tools: projects from JSON descriptions, one open
// project with the host's objects on it, and the committed state of a project file.
// Strings on this API are UTF-8.
#pragma once

#include "host/core/project_description.h"
#include "host/objects/fault_injector.h"
#include "host/store/object_records.h"
#include "host_api/addon_api.h"
#include "host_api/automation_api.h"

#include <nlohmann/json.hpp>

#include <array>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kavrohost {

class THostContext;

// What the module reported to the host's error sink (UTF-8).
struct TReportedError {
    std::string source;
    std::string message;
};

// What a project holds as a whole, without a pass over its objects: parts by kind (one vertex
// a point, closed with three or more a polygon, any other a line), shapes by style id ("" for
// a style the project does not list) and the extent of the vertices.
struct TProjectSummary {
    std::int64_t objects = 0, points = 0, lines = 0, polygons = 0;
    std::map<std::string, std::int64_t> shapesByStyle;
    std::optional<std::array<double, 4>> extent; // min x, min y, max x, max y
};

// One open project with the host's objects on it.
class THostSession {
public:
    // Opens the project file; throws EStoreError when it cannot. hostFolder is what the
    // application's get_Folder answers.
    explicit THostSession(const std::filesystem::path& projectFile,
                          std::filesystem::path hostFolder = {});
    // Closes the project; uncommitted map-object changes are lost. Objects the module still
    // holds stay valid and fail with "Проект закрыт".
    ~THostSession();
    THostSession(const THostSession&) = delete;
    THostSession& operator=(const THostSession&) = delete;

    // What the host passes to IQmAddOn::Initialize (borrowed; the session holds it).
    IUnknown* Manager();
    IKavroApplication* Application();
    IKavroDb* Database();

    // The nth call (1-based, counted from now) of the operation "Interface.Method" fails with
    // the message.
    void FailOn(std::string operation, int nthCall, std::string messageUtf8);
    // The nth host call (1-based, counted from now) of any operation fails with the message;
    // FailOn's operations keep their own counts.
    void FailOnAnyCall(int nthCall, std::string messageUtf8);
    // The database becomes full after `commits` more successful map-object commits (0: at
    // once): SQLite itself then reports "database or disk is full" to the first write that
    // needs another page. FreeDatabaseSpace makes room again.
    void FillDatabaseAfterCommits(int commits);
    void FreeDatabaseSpace();
    // Starts logging the host calls afresh: operation names in call order, with the calls that
    // failed (an injected failure or a host error).
    void StartCallLog();
    std::vector<THostCall> CallLog() const;
    // Map-object commits so far.
    int CommitCount() const;
    // min x, min y, max x, max y of the last rectangle the module asked to show.
    std::optional<std::array<double, 4>> LastShowRect() const;
    // Everything the module reported to the error sink, in order.
    std::vector<TReportedError> ReportedErrors() const;
    // The last error of the sink: a host failure or the module's last report.
    TReportedError LastError() const;

    // The windows the add-on manager answers (GetOwnerWindow, GetApplicationWindow).
    void SetWindows(HWND owner, HWND application);
    // Called when the module asks to move the view to a rectangle.
    void OnShowRect(std::function<void(const std::array<double, 4>&)> handler);
    // The objects as stored in the open connection (committed and not yet committed).
    std::vector<TObjectRecord> Objects() const;
    // The same, as the open connection sees it, from totals kept with every change.
    TProjectSummary Summary() const;
    // One object whole; nullopt when there is none.
    std::optional<TObjectRecord> Object(long long id) const;
    // The objects with parts that meet the rectangle (min x, min y, max x, max y), each with
    // those parts only (one per shape); at most about partLimit parts, read until the deadline.
    TObjectsInBox ObjectsIn(const std::array<double, 4>& box, std::size_t partLimit,
                            std::chrono::steady_clock::time_point deadline) const;
    const std::filesystem::path& ProjectFile() const { return m_file; }

private:
    std::filesystem::path m_file;
    std::shared_ptr<THostContext> m_ctx;
    IUnknown* m_manager = nullptr;
    IKavroApplication* m_application = nullptr;
    IKavroDb* m_database = nullptr;
};

// The message the last failing automation call left in this thread's error information (and
// clears it); empty when there is none.
std::string TakeErrorText();

// The committed state of a project file, in object id order.
std::vector<TObjectRecord> ReadObjects(const std::filesystem::path& file);
// The same, streamed one object at a time.
void ForEachObject(const std::filesystem::path& file,
                   const std::function<void(const TObjectRecord&)>& visit);

} // namespace kavrohost

#include "session_steps.h"

#include <fstream>
#include <map>
#include <set>

namespace kavrohost {

namespace {

using nlohmann::json;

QString Q(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// How an option's value must look.
enum class TKind { Text, Count, Bool, Number, Date, Counts, Texts, Any };

const std::map<std::string, TKind>& OptionKinds() {
    static const std::map<std::string, TKind> kinds = {
        {"timeout", TKind::Count}, {"note", TKind::Any},     {"text", TKind::Text},
        {"contains", TKind::Text}, {"message", TKind::Text}, {"index", TKind::Count},
        {"checked", TKind::Bool},  {"value", TKind::Number}, {"date", TKind::Date},
        {"row", TKind::Count},     {"column", TKind::Count}, {"rows", TKind::Counts},
        {"items", TKind::Texts},   {"double", TKind::Bool},  {"of", TKind::Text},
        {"count", TKind::Count},   {"enabled", TKind::Bool}, {"visible", TKind::Bool},
    };
    return kinds;
}

struct TActionSpec {
    TStepAction action;
    std::set<std::string> options; // besides "timeout" and "note"
};

const std::map<std::string, TActionSpec>& Actions() {
    static const std::map<std::string, TActionSpec> actions = {
        {"menu", {TStepAction::Menu, {}}},
        {"dialog", {TStepAction::Dialog, {}}},
        {"set", {TStepAction::Set, {"text", "index", "checked", "value", "date", "row", "column"}}},
        {"select", {TStepAction::Select, {"rows", "items", "row", "column", "double"}}},
        {"press", {TStepAction::Press, {}}},
        {"answer", {TStepAction::Answer, {"message"}}},
        {"files", {TStepAction::Files, {}}},
        {"pick", {TStepAction::Pick, {}}},
        {"closed", {TStepAction::Closed, {}}},
        {"picture", {TStepAction::Picture, {"of"}}},
        {"check",
         {TStepAction::Check,
          {"text", "contains", "checked", "index", "value", "count", "enabled", "visible", "row",
           "column"}}},
        {"pause", {TStepAction::Pause, {}}},
    };
    return actions;
}

bool IsCount(const json& v) {
    return v.is_number_integer() && v.get<long long>() >= 0 && v.get<long long>() <= INT32_MAX;
}

bool Fits(const json& v, TKind kind) {
    switch (kind) {
    case TKind::Text:
        return v.is_string();
    case TKind::Count:
        return IsCount(v);
    case TKind::Bool:
        return v.is_boolean();
    case TKind::Number:
        return v.is_number();
    case TKind::Date:
        return v.is_string() && StepDate(Q(v.get<std::string>())).has_value();
    case TKind::Counts:
        return v.is_array() && !v.empty() && std::all_of(v.begin(), v.end(), IsCount);
    case TKind::Texts:
        return v.is_array() && !v.empty() &&
               std::all_of(v.begin(), v.end(), [](const json& e) { return e.is_string(); });
    case TKind::Any:
        return true;
    }
    return false;
}

const char* KindText(TKind kind) {
    switch (kind) {
    case TKind::Text:
        return "a text";
    case TKind::Count:
        return "a whole number of 0 or more";
    case TKind::Bool:
        return "true or false";
    case TKind::Number:
        return "a number";
    case TKind::Date:
        return "a date \"YYYY-MM-DD\", \"YYYY-MM-DDTHH:MM[:SS]\" or \"DD.MM.YYYY\"";
    case TKind::Counts:
        return "a non-empty list of whole numbers";
    case TKind::Texts:
        return "a non-empty list of texts";
    case TKind::Any:
        return "anything";
    }
    return "";
}

int CountOf(const json& step, std::initializer_list<const char*> keys) {
    int n = 0;
    for (const char* k : keys)
        n += step.contains(k) ? 1 : 0;
    return n;
}

TSessionStep ParseStep(const json& step, int number, int defaultTimeout,
                       const std::filesystem::path& folder) {
    auto fail = [&](const std::string& why) -> ESessionError {
        return ESessionError("step " + std::to_string(number) + ": " + why);
    };
    if (!step.is_object())
        throw fail("a step must be a JSON object");
    const TActionSpec* spec = nullptr;
    std::string actionName;
    for (const auto& [key, value] : step.items()) {
        if (auto a = Actions().find(key); a != Actions().end()) {
            if (spec)
                throw fail("one action per step (\"" + actionName + "\" and \"" + key + "\")");
            spec = &a->second;
            actionName = key;
        }
    }
    if (!spec)
        throw fail("no action (menu, dialog, set, select, press, answer, files, pick, closed, "
                   "picture, check or pause)");
    for (const auto& [key, value] : step.items()) {
        if (key == actionName)
            continue;
        auto kind = OptionKinds().find(key);
        if (kind == OptionKinds().end() ||
            (key != "timeout" && key != "note" && !spec->options.count(key)))
            throw fail("\"" + actionName + "\" takes no option \"" + key + "\"");
        if (!Fits(value, kind->second))
            throw fail("\"" + key + "\" must be " + KindText(kind->second));
    }

    TSessionStep s;
    s.number = number;
    s.action = spec->action;
    s.options = step;
    s.timeoutMs = step.contains("timeout") ? step["timeout"].get<int>() : defaultTimeout;
    const json& arg = step[actionName];
    auto needText = [&] {
        if (!arg.is_string() || arg.get<std::string>().empty())
            throw fail("\"" + actionName + "\" must be a non-empty text");
        s.target = Q(arg.get<std::string>());
    };
    auto cell = [&] {
        if (CountOf(step, {"row", "column"}) == 1)
            throw fail("a cell needs both \"row\" and \"column\"");
    };
    switch (s.action) {
    case TStepAction::Menu:
    case TStepAction::Dialog:
    case TStepAction::Press:
    case TStepAction::Answer:
        needText();
        break;
    case TStepAction::Set:
        needText();
        cell();
        if (CountOf(step, {"text", "index", "checked", "value", "date"}) != 1)
            throw fail(
                "\"set\" needs one of \"text\", \"index\", \"checked\", \"value\", \"date\"");
        break;
    case TStepAction::Select:
        needText();
        cell();
        if (CountOf(step, {"rows", "items", "row"}) != 1)
            throw fail("\"select\" needs \"rows\", \"items\" or \"row\" with \"column\"");
        break;
    case TStepAction::Check:
        needText();
        cell();
        if (CountOf(step, {"text", "contains", "checked", "index", "value", "count", "enabled",
                           "visible"}) == 0)
            throw fail("\"check\" needs something to check (\"text\", \"contains\", \"checked\", "
                       "\"index\", \"value\", \"count\", \"enabled\" or \"visible\")");
        break;
    case TStepAction::Files: {
        json list = arg.is_string() ? json::array({arg}) : arg;
        if (!Fits(list, TKind::Texts))
            throw fail("\"files\" must be a file name or a non-empty list of them");
        for (const auto& f : list) {
            std::filesystem::path p = std::filesystem::u8path(f.get<std::string>());
            if (p.is_relative())
                p = folder / p;
            s.files << QString::fromStdString(p.lexically_normal().string());
        }
        break;
    }
    case TStepAction::Pick:
        if (IsCount(arg))
            s.pickIndex = arg.get<int>();
        else
            needText();
        break;
    case TStepAction::Closed:
        if (!(arg.is_boolean() && arg.get<bool>()))
            needText();
        break;
    case TStepAction::Picture:
        needText();
        if (!s.target.endsWith(".png", Qt::CaseInsensitive))
            throw fail("a picture is a .png file");
        break;
    case TStepAction::Pause:
        if (!IsCount(arg))
            throw fail("\"pause\" must be a number of milliseconds");
        s.pauseMs = arg.get<int>();
        break;
    }
    return s;
}

} // namespace

QString TSessionStep::Text(const char* key) const {
    return Q(options.at(key).get<std::string>());
}

std::vector<int> TSessionStep::Ints(const char* key) const {
    return options.at(key).get<std::vector<int>>();
}

QStringList TSessionStep::Texts(const char* key) const {
    QStringList list;
    for (const auto& v : options.at(key))
        list << Q(v.get<std::string>());
    return list;
}

QString TSessionStep::Describe() const {
    auto dump = [](const json& v) {
        return Q(v.dump(-1, ' ', false, json::error_handler_t::replace));
    };
    QString text;
    for (const auto& [name, spec] : Actions())
        if (spec.action == action)
            text = Q(name) + " " + dump(options.at(name));
    for (const auto& [key, value] : options.items())
        if (!Actions().count(key) && key != "note" && key != "timeout")
            text += " " + Q(key) + "=" + dump(value);
    return text;
}

std::optional<QDateTime> StepDate(const QString& text) {
    for (const char* format :
         {"yyyy-MM-dd", "yyyy-MM-ddTHH:mm", "yyyy-MM-ddTHH:mm:ss", "dd.MM.yyyy"}) {
        QDateTime d = QDateTime::fromString(text, QString::fromLatin1(format));
        if (d.isValid())
            return d;
    }
    return std::nullopt;
}

QString PlainCaption(const QString& caption) {
    QString plain;
    plain.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (i + 1 < caption.size() && caption[i + 1] == '&')
                plain += caption[++i];
            continue;
        }
        plain += caption[i];
    }
    return plain.trimmed();
}

TSession ParseSession(const nlohmann::json& document, const std::filesystem::path& folder) {
    TSession session;
    if (!document.is_object() || !document.contains("steps") || !document["steps"].is_array())
        throw ESessionError("a session is a JSON object with a list \"steps\"");
    for (const auto& [key, value] : document.items()) {
        if (key == "timeout") {
            if (!IsCount(value) || value.get<int>() == 0)
                throw ESessionError("\"timeout\" must be a number of milliseconds above 0");
            session.timeoutMs = value.get<int>();
        } else if (key != "steps" && key != "note") {
            throw ESessionError("a session takes no member \"" + key + "\"");
        }
    }
    int number = 0;
    for (const auto& step : document["steps"])
        session.steps.push_back(ParseStep(step, ++number, session.timeoutMs, folder));
    return session;
}

TSession LoadSession(const std::filesystem::path& file) {
    // A folder opens as a stream and fails only on reading, with an exception of the stream.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec))
        throw ESessionError("cannot open the session " + file.string() + ": not a file");
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw ESessionError("cannot open the session " + file.string());
    json document;
    try {
        document = json::parse(in);
    } catch (const json::exception& e) {
        throw ESessionError(file.string() + " is not JSON: " + e.what());
    } catch (const std::ios_base::failure& e) {
        throw ESessionError("cannot read the session " + file.string() + ": " + e.what());
    }
    return ParseSession(document, std::filesystem::absolute(file).parent_path());
}

} // namespace kavrohost

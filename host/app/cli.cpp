#include "cli.h"

#include "host/core/host_session.h"
#include "host/loader/addon_module.h"
#include "object_export.h"
#include "platform/registry.h"
#include "qt_language.h"

#include <QApplication>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <set>

namespace kavrohost {

namespace {

class EUsage : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string HrText(HRESULT hr) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(hr));
    return buf;
}

// The folder of this executable: the host's folder that get_Folder answers.
std::filesystem::path HostFolder() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::current_path() : exe.parent_path();
}

// Positional arguments and "--name value" / "--flag" options.
struct TArgs {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;

    TArgs(const std::vector<std::string>& args, std::size_t from,
          const std::set<std::string>& valued, const std::set<std::string>& flags) {
        for (std::size_t i = from; i < args.size(); ++i) {
            const std::string& a = args[i];
            if (a.rfind("--", 0) == 0) {
                if (valued.count(a)) {
                    if (i + 1 >= args.size())
                        throw EUsage("option " + a + " needs a value");
                    options[a] = args[++i];
                } else if (flags.count(a)) {
                    options[a] = "1";
                } else {
                    throw EUsage("unknown option " + a);
                }
            } else {
                positional.push_back(a);
            }
        }
    }
    void Expect(std::size_t count) const {
        if (positional.size() != count)
            throw EUsage("wrong number of arguments");
    }
    bool Has(const std::string& name) const { return options.count(name) > 0; }
};

int Create(const TArgs& a) {
    a.Expect(1);
    if (!a.Has("--from"))
        throw EUsage("create needs --from DESCRIPTION.json");
    std::ifstream in(a.options.at("--from"));
    if (!in)
        throw std::runtime_error("Не удалось открыть описание \"" + a.options.at("--from") + "\"");
    nlohmann::json description;
    try {
        description = nlohmann::json::parse(in);
    } catch (const nlohmann::json::exception& e) {
        throw std::runtime_error("Описание проекта не является JSON: " + std::string(e.what()));
    }
    CreateProject(a.positional[0], description);
    std::cout << "Создан проект " << a.positional[0] << "\n";
    return 0;
}

int Register(const TArgs& a) {
    a.Expect(1);
    TAddonModule module(a.positional[0]);
    std::string id = a.Has("--id") ? Utf8ToAnsi(a.options.at("--id")) : std::string();
    HRESULT hr = module.RegisterAddOn(id.empty() ? nullptr : id.c_str(), !a.Has("--inactive"));
    if (FAILED(hr)) {
        std::cerr << "QmDllRegisterAddOn: " << HrText(hr) << "\n";
        return 1;
    }
    hr = module.RegisterServer();
    if (FAILED(hr)) {
        std::cerr << "DllRegisterServer: " << HrText(hr) << "\n";
        return 1;
    }
    std::cout << "Зарегистрирован модуль " << module.File().string() << " ("
              << TRegistryStore::DefaultPath().string() << ")\n";
    return 0;
}

int Unregister(const TArgs& a) {
    a.Expect(1);
    TAddonModule module(a.positional[0]);
    auto classIds = ClassIdsOfModule(module.File());
    HRESULT hr = module.UnregisterServer();
    if (FAILED(hr)) {
        std::cerr << "DllUnregisterServer: " << HrText(hr) << "\n";
        return 1;
    }
    for (const auto& id : classIds)
        RemoveAddonKey(id);
    std::cout << "Снята регистрация модуля " << module.File().string() << "\n";
    return 0;
}

GUID RegisteredClassId(const TAddonModule& module) {
    auto ids = ClassIdsOfModule(module.File());
    if (ids.empty())
        throw std::runtime_error("Модуль " + module.File().string() +
                                 " не зарегистрирован (kavro-host register MODULE)");
    return ids.front();
}

int Info(const TArgs& a) {
    a.Expect(1);
    TAddonModule module(a.positional[0]);
    auto ids = ClassIdsOfModule(module.File());
    if (ids.empty())
        RegisteredClassId(module);
    for (const auto& classId : ids) {
        TAddonDescription d;
        {
            TAddon addon = module.Create(classId);
            d = addon.Describe();
        }
        std::cout << "Class id: " << GuidToString(d.classId) << "\n"
                  << "Name: " << d.name << "\n"
                  << "Caption: " << d.caption << "\n"
                  << "Integers: " << d.value << " " << d.reserved << "\n";
        for (const auto& c : d.commands)
            std::cout << "Command " << c.id << ": " << c.name << " | " << c.caption << " | "
                      << c.menuPath << "\n";
    }
    return 0;
}

int Run(const TArgs& a) {
    a.Expect(3);
    std::int32_t commandId = 0;
    const std::string& idText = a.positional[2];
    auto [end, ec] = std::from_chars(idText.data(), idText.data() + idText.size(), commandId);
    if (ec != std::errc() || end != idText.data() + idText.size())
        throw EUsage("COMMAND-ID must be an integer");
    TAddonModule module(a.positional[0]);
    GUID classId = RegisteredClassId(module);
    std::filesystem::path folder =
        a.Has("--folder") ? std::filesystem::path(a.options.at("--folder")) : HostFolder();
    THostSession session(a.positional[1], folder);
    // The host is a desktop application: the module's wizards find its QApplication. Without
    // any display the module is left to decide what it can do.
    std::unique_ptr<QApplication> app;
    if (std::getenv("QT_QPA_PLATFORM") || std::getenv("DISPLAY") ||
        std::getenv("WAYLAND_DISPLAY")) {
        static int argc = 1;
        static char name[] = "kavro-host";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QApplication>(argc, argv);
        UseRussianQtTexts(*app);
    }
    HRESULT hr;
    const char* step = "Initialize";
    {
        TAddon addon = module.Create(classId);
        // The host runs only the commands the add-on lists; an add-on may take any other id
        // quietly, and the run would look like a success.
        const auto commands = addon.Describe().commands;
        if (std::none_of(commands.begin(), commands.end(),
                         [&](const TAddonCommand& c) { return c.id == commandId; })) {
            std::string known;
            for (const auto& c : commands)
                known += (known.empty() ? "" : ", ") + std::to_string(c.id);
            throw std::runtime_error("Модуль " + module.File().string() + " не знает команды " +
                                     idText + " (его команды: " + (known.empty() ? "нет" : known) +
                                     ")");
        }
        hr = addon.Initialize(session.Manager());
        if (SUCCEEDED(hr)) {
            step = "ExecuteMacro";
            hr = addon.Execute(commandId);
            HRESULT fin = addon.Finalize();
            if (SUCCEEDED(hr) && FAILED(fin)) {
                step = "Finalize";
                hr = fin;
            }
        }
    }
    for (const auto& r : session.ReportedErrors())
        std::cerr << "Ошибка расширения [" << r.source << "]: " << r.message << "\n";
    std::cout << "Фиксаций изменений: " << session.CommitCount() << "\n";
    if (auto rect = session.LastShowRect())
        std::cout << "Показ области: " << (*rect)[0] << " " << (*rect)[1] << " " << (*rect)[2]
                  << " " << (*rect)[3] << "\n";
    if (FAILED(hr)) {
        std::cerr << step << ": " << HrText(hr) << "\n";
        return 1;
    }
    return 0;
}

int Objects(const TArgs& a) {
    a.Expect(1);
    ForEachObject(a.positional[0],
                  [](const TObjectRecord& o) { std::cout << ObjectLine(o) << "\n"; });
    return 0;
}

int Export(const TArgs& a) {
    a.Expect(1);
    if (!a.Has("--geojson"))
        throw EUsage("export needs --geojson FILE");
    std::ofstream out(a.options.at("--geojson"), std::ios::binary);
    if (!out)
        throw std::runtime_error("Не удалось создать файл \"" + a.options.at("--geojson") + "\"");
    std::size_t count = ExportGeoJson(a.positional[0], out);
    out.close();
    if (!out)
        throw std::runtime_error("Ошибка записи файла \"" + a.options.at("--geojson") + "\"");
    std::cout << "Записано объектов GeoJSON: " << count << "\n";
    return 0;
}

int Describe(const TArgs& a) {
    a.Expect(1);
    std::cout << ExportDescription(a.positional[0]).dump(2) << "\n";
    return 0;
}

} // namespace

const char* UsageText() {
    return "usage: kavro-host COMMAND ...\n"
           "  create PROJECT --from DESCRIPTION.json   create a project file\n"
           "  describe PROJECT                         print the project's JSON description\n"
           "  register MODULE [--id ID] [--inactive]   register an add-on module\n"
           "  unregister MODULE                        remove its registration\n"
           "  info MODULE                              show the add-on and its commands\n"
           "  run MODULE PROJECT COMMAND-ID [--folder DIR]\n"
           "                                           run one command on a project\n"
           "  objects PROJECT                          list the committed objects\n"
           "  export PROJECT --geojson FILE            write the objects as GeoJSON\n"
           "  gui [PROJECT] [--quit-after-ms N [--screenshot FILE.png]]\n"
           "                                           the desktop host\n"
           "  gui PROJECT --play SESSION.json [--pictures DIR]\n"
           "                                           play a recorded session in it, then\n"
           "                                           print what the project holds\n"
           "The registry file is TEXTIMPORT_REGISTRY (default "
           "~/.config/textimport/registry.reg).\n";
}

int RunCli(const std::vector<std::string>& args) {
    try {
        if (args.size() < 2)
            throw EUsage("no command");
        const std::string& command = args[1];
        if (command == "create")
            return Create(TArgs(args, 2, {"--from"}, {}));
        if (command == "describe")
            return Describe(TArgs(args, 2, {}, {}));
        if (command == "register")
            return Register(TArgs(args, 2, {"--id"}, {"--inactive"}));
        if (command == "unregister")
            return Unregister(TArgs(args, 2, {}, {}));
        if (command == "info")
            return Info(TArgs(args, 2, {}, {}));
        if (command == "run")
            return Run(TArgs(args, 2, {"--folder"}, {}));
        if (command == "objects")
            return Objects(TArgs(args, 2, {}, {}));
        if (command == "export")
            return Export(TArgs(args, 2, {"--geojson"}, {}));
        if (command == "help" || command == "--help" || command == "-h") {
            std::cout << UsageText();
            return 0;
        }
        throw EUsage("unknown command " + command);
    } catch (const EUsage& e) {
        std::cerr << "kavro-host: " << e.what() << "\n" << UsageText();
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "kavro-host: " << e.what() << "\n";
        return 1;
    }
}

} // namespace kavrohost

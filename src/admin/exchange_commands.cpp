#include "admin/exchange_commands.h"

#include <CLI/CLI.hpp>

#include <memory>

#include "admin/admin_open.h"
#include "base/numbers.h"
#include "exchange/backup.h"
#include "exchange/head_office_upload.h"
#include "exchange/record_export.h"
#include "exchange/record_import.h"
#include "reports/upload_files.h"
#include "store/data_store.h"
#include "store/file_io.h"
#include "store/folder_lock.h"

namespace kassio {

namespace {

struct ExchangeOptions {
    std::string what;  // items|customers, core|folder, inventory|core|folder
    std::string format = "text";
    std::string from, to, category, fields, map, port;
    bool entire = false, merge = false, replace = false;
    std::string path;
    std::vector<std::string> files;
};

int show(Ui& ui, const std::vector<Notice>& notices, std::FILE* out) {
    int rc = 0;
    for (const Notice& n : notices) {
        if (n.problem) {
            ui.error(n.text, n.title);
            rc = 1;
        } else {
            std::fprintf(out, "%s: %s\n", n.title.c_str(), n.text.c_str());
        }
    }
    return rc;
}

// Runs body on the opened store with the folder lock held, then closes the
// store cleanly (no close-down records: the till's run is not ending).
int withStore(DataStore& store, AdminEnvironment& env, const std::function<int(DataStore&)>& body) {
    if (!isDirectory(store.folder()))
        return fail(env.ui, Status::notFound("Data folder not present: " + store.folder()));
    auto lock = lockDataFolder(store, env);
    if (!lock) return 1;
    if (Status s = store.openData(); !s) return fail(env.ui, s);
    const int rc = body(store);
    if (Status s = store.close(); !s) return fail(env.ui, s);
    return rc;
}

// "1,2,0,5" into numbers; false on anything else.
bool numberList(const std::string& text, std::vector<int>* out) {
    out->clear();
    std::size_t at = 0;
    while (at <= text.size()) {
        std::size_t comma = text.find(',', at);
        std::string part =
            text.substr(at, comma == std::string::npos ? std::string::npos : comma - at);
        if (part.empty() || part.find_first_not_of("0123456789") != std::string::npos) return false;
        out->push_back(integerFromText(part));
        if (comma == std::string::npos) break;
        at = comma + 1;
    }
    return !out->empty();
}

int runExport(DataStore& store, AdminEnvironment& env, const ExchangeOptions& o) {
    ExportChoice c;
    c.customers = o.what == "customers";
    c.format = o.format == "html"  ? ExportFormat::kHtml
               : o.format == "xml" ? ExportFormat::kXml
                                   : ExportFormat::kText;
    c.entire = o.entire;
    if (!o.fields.empty()) {
        std::vector<int> boxes;
        if (!numberList(o.fields, &boxes))
            return fail(env.ui, Status::invalid("--fields takes box numbers 1 to 10"));
        c.fields.fill(false);
        for (int b : boxes) {
            if (b < 1 || b > 10)
                return fail(env.ui, Status::invalid("--fields takes box numbers 1 to 10"));
            c.fields[static_cast<std::size_t>(b - 1)] = true;
        }
    }
    if (!o.category.empty()) {
        auto cat = positiveNumber(o.category);
        if (o.category != "0" && (!cat || *cat > 17))
            return fail(env.ui, Status::invalid("--category takes a display category 0 to 17"));
        c.byCategory = true;
        c.category = o.category == "0" ? 0 : static_cast<int>(*cat);
    }
    return withStore(store, env, [&](DataStore& s) {
        c.start = o.from.empty() ? 1 : numberFromText(o.from);
        if (o.to.empty()) {
            auto lock = s.lock();
            const auto& e = (c.customers ? s.customers() : s.items()).index().entries();
            c.finish = e.empty() ? 0 : e.back().number;
        } else {
            c.finish = numberFromText(o.to);
        }
        if (Status r = exportRecords(s, c, o.path); !r) return fail(env.ui, r);
        std::fprintf(env.out, "File export: Complete.\n");
        return 0;
    });
}

int runImport(DataStore& store, AdminEnvironment& env, const ExchangeOptions& o) {
    ImportSurvey survey;
    if (Status s = surveyImportFile(o.path, &survey); !s) return fail(env.ui, s);
    const bool customers = o.what == "customers";
    ImportMap map = defaultImportMap(customers, survey.fields);
    std::vector<int> columns;
    if (!numberList(o.map, &columns))
        return fail(env.ui, Status::invalid("--map takes column numbers: 1,2,0,3,..."));
    map.columns.assign(map.columns.size(), 0);
    for (std::size_t i = 0; i < columns.size() && i < map.columns.size(); ++i)
        map.columns[i] = columns[i];
    map.merge = o.merge && !customers;
    limitImportMap(map, survey.fields);
    if (map.columns[0] == 0)
        return fail(env.ui, Status::invalid("Number is mapped to no column: nothing imported"));
    std::fprintf(env.out, "%d records of %d fields\n", survey.records, survey.fields);
    return withStore(store, env, [&](DataStore& s) {
        return show(env.ui, importRecords(s, o.path, map, survey.records).notices, env.out);
    });
}

int runImportSibling(DataStore& store, AdminEnvironment& env, const ExchangeOptions& o) {
    int records = 0;
    if (Status s = surveySiblingFile(o.path, &records); !s) return fail(env.ui, s);
    std::fprintf(env.out, "%d records\n", records);
    return withStore(store, env, [&](DataStore& s) {
        return show(env.ui, importSiblingInventory(s, o.path).notices, env.out);
    });
}

int runBackup(DataStore& store, AdminEnvironment& env, const ExchangeOptions& o) {
    if (!isDirectory(o.path))
        return fail(env.ui, Status::notFound("Backup folder not present: " + o.path));
    if (o.what == "folder" && folderBackupExists(o.path) && !o.replace)
        return fail(env.ui, Status::invalid("Previous Kassio backup folder already exits in " +
                                                o.path + "; give --replace to replace it",
                                            "Warning"));
    return withStore(store, env, [&](DataStore& s) {
        ExchangeOutcome out =
            o.what == "core" ? backupCoreFiles(s, o.path) : backupWholeFolder(s, o.path);
        return show(env.ui, out.notices, env.out);
    });
}

int runRestore(DataStore& store, AdminEnvironment& env, const ExchangeOptions& o) {
    return withStore(store, env, [&](DataStore& s) {
        ExchangeOutcome out = o.what == "inventory" ? restoreInventory(s, o.path)
                              : o.what == "core"    ? restoreCoreFiles(s, o.path)
                                                    : restoreWholeFolder(s, o.path);
        return show(env.ui, out.notices, env.out);
    });
}

int runUpload(DataStore& store, AdminEnvironment& env, const ExchangeOptions& o) {
    Ftp* ftp = env.ftp ? env.ftp() : nullptr;
    if (!ftp) return fail(env.ui, Status::invalid("This kassio-admin has no FTP client"));
    int port = kFtpPort;
    if (!o.port.empty()) {
        auto p = positiveNumber(o.port);
        if (!p || *p > 65535) return fail(env.ui, Status::invalid("--port takes 1 to 65535"));
        port = static_cast<int>(*p);
    }
    return withStore(store, env, [&](DataStore& s) {
        auto settings = loadUploadSettings(s);
        if (!settings)
            return fail(env.ui, Status::notFound("upload.cfg not present: set the upload up at "
                                                 "the till (Head office report setup)",
                                                 kTitleProblem));
        if (Status c = checkUploadChoice(*settings); !c) return fail(env.ui, c);
        std::vector<std::string> paths = o.files;
        if (paths.empty()) {
            if (Status w =
                    writeUploadFiles(s, s.clock().now(), settings->chosen, settings->names, &paths);
                !w)
                return fail(env.ui, w);
        }
        Notice n = sendReportFiles(*ftp, ftpLogin(*settings, port), paths);
        return show(env.ui, {n}, env.out);
    });
}

}  // namespace

void addExchangeCommands(CLI::App& app, AdminCommands& commands) {
    auto o = std::make_shared<ExchangeOptions>();
    auto add = [&](CLI::App* c, int (*run)(DataStore&, AdminEnvironment&, const ExchangeOptions&)) {
        commands.push_back(
            {c, [o, run](DataStore& s, AdminEnvironment& e) { return run(s, e, *o); }});
    };

    CLI::App* exp =
        app.add_subcommand("export", "export items or customers to a text, HTML or XML file");
    exp->add_option("WHAT", o->what, "items or customers")
        ->required()
        ->check(CLI::IsMember({"items", "customers"}));
    exp->add_option("--format", o->format, "text (comma separated), html or xml")
        ->check(CLI::IsMember({"text", "html", "xml"}));
    exp->add_option("--from", o->from, "the first number (1)");
    exp->add_option("--to", o->to, "the last number (the highest)");
    exp->add_option("--category", o->category, "items of this display category 0-17 only");
    exp->add_option("--fields", o->fields, "the field boxes 1-10 to write, e.g. 1,2,7 (all)");
    exp->add_flag("--entire", o->entire, "every field of the record (text)");
    exp->add_option("FILE", o->path, "the file to write")->required();
    add(exp, runExport);

    CLI::App* imp =
        app.add_subcommand("import", "import items or customers from a comma-separated file");
    imp->add_option("WHAT", o->what, "items or customers")
        ->required()
        ->check(CLI::IsMember({"items", "customers"}));
    imp->add_option("FILE", o->path, "the comma-separated file")->required();
    imp->add_option("--map", o->map,
                    "the file's column for each field in the map's order, 0 for none")
        ->required();
    imp->add_flag("--merge", o->merge, "add new items to the inventory instead of replacing it");
    add(imp, runImport);

    CLI::App* sib =
        app.add_subcommand("import-sibling", "replace the inventory with a ZENTIL inventory file");
    sib->add_option("FILE", o->path, "the file of 1874-byte records")->required();
    add(sib, runImportSibling);

    CLI::App* bak =
        app.add_subcommand("backup", "copy the core files or the whole data folder into DIR");
    bak->add_option("WHAT", o->what, "core or folder")
        ->required()
        ->check(CLI::IsMember({"core", "folder"}));
    bak->add_option("DIR", o->path, "the backup folder")->required();
    bak->add_flag("--replace", o->replace, "replace a previous folder backup in DIR");
    add(bak, runBackup);

    CLI::App* res = app.add_subcommand(
        "restore", "restore the inventory, the core files or the whole data folder");
    res->add_option("WHAT", o->what, "inventory (a file), core or folder (a folder)")
        ->required()
        ->check(CLI::IsMember({"inventory", "core", "folder"}));
    res->add_option("PATH", o->path, "the inventory file or the backup folder")->required();
    add(res, runRestore);

    CLI::App* up = app.add_subcommand("upload", "send the chosen head office report files by FTP");
    up->add_option("--port", o->port, "the FTP server's port (21)");
    up->add_option("FILE", o->files, "the files to send (the chosen reports in the data folder)");
    add(up, runUpload);
}

}  // namespace kassio

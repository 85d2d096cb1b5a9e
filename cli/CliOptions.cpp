#include "cli/CliOptions.h"

#include "backup/StoreName.h"
#include "base/DecimalNumber.h"
#include "base/NearestWord.h"
#include "base/TextEscape.h"
#include "box/HostAddress.h"
#include "box/SettingRules.h"
#include "cli/CliCommandTable.h"
#include "discovery/FindSettings.h"

namespace {

using Command = CliOptions::Command;

constexpr unsigned Bit(Command c) {
    return 1u << static_cast<unsigned>(c);
}
// An option of every command.
constexpr unsigned kGlobal = ~0u;

// The commands that work with the backup store.
constexpr unsigned kStoreCommands =
    Bit(Command::kBackup) | Bit(Command::kBackups) | Bit(Command::kRestore) |
    Bit(Command::kCompare) | Bit(Command::kDiff) | Bit(Command::kHistory) | Bit(Command::kUpdate);

bool ParseCount(const std::string& text, int high, int* count) {
    long long v = 0;
    if (!ReadDecimal(text, 1, high, &v)) {
        return false;
    }
    *count = static_cast<int>(v);
    return true;
}

// One option: its names, whether it takes a value, the commands it belongs
// to, and what it sets. `spelled` is the option as the user wrote it.
struct OptionRule {
    const char* longName;  // without "--"
    char shortName;        // 0: none
    bool takesValue;
    unsigned commands;
    bool (*apply)(const std::string& spelled, const std::string& value, CliOptions* o,
                  std::string* error);
};

const OptionRule kOptionRules[] = {
    {"host", 'H', true, kGlobal,
     [](const std::string& spelled, const std::string& v, CliOptions* o, std::string* e) {
         const HostAddress address(v);
         o->host = address.Text();
         *e = spelled + " " + address.Problem();
         return address.IsValid();
     }},
    {"port", 'p', true, kGlobal,
     [](const std::string& spelled, const std::string& v, CliOptions* o, std::string* e) {
         *e =
             spelled + " needs " + setting_rules::PortRule() + ", not '" + QuoteForMessage(v) + "'";
         return setting_rules::ReadPort(v, &o->port);
     }},
    {"password", 0, true, kGlobal,
     [](const std::string& spelled, const std::string& v, CliOptions* o, std::string* e) {
         o->password = v;
         o->hasPassword = true;
         *e = spelled + " needs " + setting_rules::PasswordRule();
         return setting_rules::IsPassword(v);
     }},
    {"directory", 'C', true, kGlobal,
     [](const std::string& spelled, const std::string& v, CliOptions* o, std::string* e) {
         o->directory = v;
         *e = spelled + " needs a directory";
         return !v.empty();
     }},
    {"config", 0, true, kGlobal,
     [](const std::string& spelled, const std::string& v, CliOptions* o, std::string* e) {
         o->config = v;
         *e = spelled + " needs a settings file";
         return !v.empty();
     }},
    {"json", 0, false, kGlobal,
     [](const std::string&, const std::string&, CliOptions* o, std::string*) {
         return o->json = true;
     }},
    {"quiet", 'q', false, kGlobal,
     [](const std::string&, const std::string&, CliOptions* o, std::string*) {
         o->verbosity = CliOptions::kQuiet;
         return true;
     }},
    {"verbose", 'v', false, kGlobal,
     [](const std::string&, const std::string&, CliOptions* o, std::string*) {
         o->verbosity = CliOptions::kVerbose;
         return true;
     }},
    {"help", 'h', false, kGlobal,
     [](const std::string&, const std::string&, CliOptions* o, std::string*) {
         return o->help = true;
     }},
    {"version", 'V', false, kGlobal,
     [](const std::string&, const std::string&, CliOptions* o, std::string*) {
         return o->version = true;
     }},
    {"verify", 0, false, Bit(Command::kPut) | Bit(Command::kRestore),
     [](const std::string&, const std::string&, CliOptions* o, std::string*) {
         return o->verify = true;
     }},
    {"no-backup", 0, false, Bit(Command::kGet),
     [](const std::string&, const std::string&, CliOptions* o, std::string*) {
         return o->noBackup = true;
     }},
    {"dry-run", 0, false, Bit(Command::kRestore) | Bit(Command::kUpdate),
     [](const std::string&, const std::string&, CliOptions* o, std::string*) {
         return o->dryRun = true;
     }},
    {"changed-only", 0, false, Bit(Command::kRestore),
     [](const std::string&, const std::string&, CliOptions* o, std::string*) {
         return o->changedOnly = true;
     }},
    {"into", 0, true, kStoreCommands | Bit(Command::kBoxes) | Bit(Command::kFind),
     [](const std::string& spelled, const std::string& v, CliOptions* o, std::string* e) {
         o->into = v;
         *e = spelled + " needs a folder";
         return !v.empty();
     }},
    {"keep", 0, true, Bit(Command::kBackup),
     [](const std::string& spelled, const std::string& v, CliOptions* o, std::string* e) {
         *e = spelled + " needs a number of backups from 1 to " +
              std::to_string(CliOptions::kMaxKeep) + ", not '" + QuoteForMessage(v) + "'";
         return ParseCount(v, CliOptions::kMaxKeep, &o->keep);
     }},
    {"box-name", 0, true, kStoreCommands,
     [](const std::string& spelled, const std::string& v, CliOptions* o, std::string* e) {
         o->boxName = v;
         *e = v.empty() ? spelled + " needs a name"
                        : spelled + " '" + QuoteForMessage(v) +
                              "' is too long: its store name has at most " +
                              std::to_string(StoreName::kMaxLength) + " bytes";
         return !v.empty() && StoreName::Fits(v);
     }},
    {"all", 0, false, Bit(Command::kBackups),
     [](const std::string&, const std::string&, CliOptions* o, std::string*) {
         return o->all = true;
     }},
    {"names-only", 0, false, Bit(Command::kDiff),
     [](const std::string&, const std::string&, CliOptions* o, std::string*) {
         return o->namesOnly = true;
     }},
    {"report", 0, false, Bit(Command::kBackup),
     [](const std::string&, const std::string&, CliOptions* o, std::string*) {
         return o->report = true;
     }},
    {"git", 0, true, Bit(Command::kBackup),
     [](const std::string& spelled, const std::string& v, CliOptions* o, std::string* e) {
         o->git = v;
         *e = spelled + " needs a repository folder";
         return !v.empty();
     }},
    {"keep-group", 0, true, Bit(Command::kUpdate),
     [](const std::string& spelled, const std::string& v, CliOptions* o, std::string* e) {
         o->keepGroups.push_back(v);
         *e = spelled + " needs a group";
         return !v.empty();
     }},
    {"wait", 0, true, Bit(Command::kUpdate),
     [](const std::string& spelled, const std::string& v, CliOptions* o, std::string* e) {
         *e = spelled + " needs a number of seconds from 1 to " +
              std::to_string(CliOptions::kMaxWaitSeconds) + ", not '" + QuoteForMessage(v) + "'";
         return ParseCount(v, CliOptions::kMaxWaitSeconds, &o->waitSeconds);
     }},
    {"no-backup-after", 0, false, Bit(Command::kUpdate),
     [](const std::string&, const std::string&, CliOptions* o, std::string*) {
         return o->noBackupAfter = true;
     }},
    {"timeout", 0, true, Bit(Command::kFind),
     [](const std::string& spelled, const std::string& v, CliOptions* o, std::string* e) {
         *e = spelled + " needs milliseconds from 1 to " +
              std::to_string(FindSettings::kLongestTimeoutMs) + ", not '" + QuoteForMessage(v) +
              "'";
         return ParseCount(v, FindSettings::kLongestTimeoutMs, &o->timeoutMs);
     }},
    {"parallel", 0, true, Bit(Command::kFind),
     [](const std::string& spelled, const std::string& v, CliOptions* o, std::string* e) {
         *e = spelled + " needs a number of connections from 1 to " +
              std::to_string(FindSettings::kMostParallel) + ", not '" + QuoteForMessage(v) + "'";
         return ParseCount(v, FindSettings::kMostParallel, &o->parallel);
     }},
    {"login", 0, false, Bit(Command::kFind),
     [](const std::string&, const std::string&, CliOptions* o, std::string*) {
         return o->login = true;
     }},
    {"wide", 0, false, Bit(Command::kFind),
     [](const std::string&, const std::string&, CliOptions* o, std::string*) {
         return o->wide = true;
     }},
    {"inventory", 0, false, Bit(Command::kFind),
     [](const std::string&, const std::string&, CliOptions* o, std::string*) {
         return o->inventory = true;
     }},
    {"write-settings", 0, false, Bit(Command::kFind),
     [](const std::string&, const std::string&, CliOptions* o, std::string*) {
         return o->writeSettings = true;
     }},
    {"git-exclude", 0, true, Bit(Command::kBackup),
     [](const std::string& spelled, const std::string& v, CliOptions* o, std::string* e) {
         o->gitExclude.push_back(v);
         *e = spelled + " needs a group";
         return !v.empty();
     }},
};

// An option as found on the command line, applied once the command is known.
struct Given {
    const OptionRule* rule;
    std::string spelled;
    std::string value;
};

// The command line split into options and the other words, without judging
// yet whether an option fits the command.
struct Split {
    std::vector<Given> options;
    std::vector<std::string> words;
    bool help = false;
    bool version = false;
    std::string error;  // the first mistake
};

std::string WithSuggestion(const std::string& message, const std::string& typed,
                           const std::vector<std::string>& known, const char* prefix) {
    const std::string nearest = NearestWord(typed, known);
    return nearest.empty() ? message : message + "; did you mean '" + prefix + nearest + "'?";
}

Split SplitArguments(const std::vector<std::string>& args) {
    Split split;
    const auto fail = [&](const std::string& error) {
        if (split.error.empty()) {
            split.error = error;
        }
    };
    const auto take = [&](const OptionRule& rule, const std::string& spelled,
                          const std::string* value, size_t* i) {
        if (!rule.takesValue) {
            split.options.push_back({&rule, spelled, ""});
        } else if (value != nullptr) {
            split.options.push_back({&rule, spelled, *value});
        } else if (*i + 1 < args.size()) {
            split.options.push_back({&rule, spelled, args[++*i]});
        } else {
            fail("option " + spelled + " needs a value");
        }
        split.help = split.help || std::string(rule.longName) == "help";
        split.version = split.version || std::string(rule.longName) == "version";
    };
    std::vector<std::string> longNames;
    for (const OptionRule& s : kOptionRules) {
        longNames.push_back(s.longName);
    }
    bool namesOnly = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (namesOnly || a.size() < 2 || a[0] != '-') {
            split.words.push_back(a);
        } else if (a == "--") {
            namesOnly = true;
        } else if (a[1] == '-') {
            const size_t equals = a.find('=');
            const std::string name = a.substr(2, equals == std::string::npos ? a.npos : equals - 2);
            const OptionRule* rule = nullptr;
            for (const OptionRule& s : kOptionRules) {
                rule = name == s.longName ? &s : rule;
            }
            if (rule == nullptr) {
                fail(WithSuggestion("unknown option '--" + QuoteForMessage(name) + "'", name,
                                    longNames, "--"));
            } else if (equals != std::string::npos && !rule->takesValue) {
                fail("option --" + name + " takes no value");
            } else {
                const std::string value =
                    equals == std::string::npos ? std::string() : a.substr(equals + 1);
                take(*rule, "--" + name, equals == std::string::npos ? nullptr : &value, &i);
            }
        } else {
            // A group of short options; one that takes a value takes the rest.
            for (size_t j = 1; j < a.size(); ++j) {
                const OptionRule* rule = nullptr;
                for (const OptionRule& s : kOptionRules) {
                    rule = s.shortName == a[j] ? &s : rule;
                }
                if (rule == nullptr) {
                    fail(std::string("unknown option '-") + a[j] + "'" +
                         (a.size() > 2 ? " in '" + QuoteForMessage(a) +
                                             "' (a name that starts with '-' goes after --)"
                                       : ""));
                    break;
                }
                const std::string rest = a.substr(j + 1);
                take(*rule, std::string("-") + a[j],
                     rule->takesValue && !rest.empty() ? &rest : nullptr, &i);
                if (rule->takesValue) {
                    break;
                }
            }
        }
    }
    return split;
}

}  // namespace

bool ParseCliOptions(const std::vector<std::string>& args, CliOptions* options,
                     std::string* error) {
    const Split split = SplitArguments(args);
    // --json holds even when the rest is wrong: the mistake, the help and
    // the version are then a document too.
    for (const Given& g : split.options) {
        options->json = options->json || std::string(g.rule->longName) == "json";
    }
    // Windows users ask for help with /? where the command would stand.
    if (split.help || (!split.words.empty() && split.words.front() == "/?")) {
        options->help = true;
        return true;
    }
    if (split.version) {
        options->version = true;
        return true;
    }
    if (!split.error.empty()) {
        *error = split.error;
        return false;
    }
    if (split.words.empty()) {
        *error =
            "no command given (list, get, put, backup, restore, compare, backups, diff, history, "
            "boxes or find)";
        return false;
    }
    std::vector<std::string> words;
    for (const CliCommandRow& row : CliCommandRows()) {
        words.push_back(row.word);
    }
    // "help [COMMAND]", as git and go take it: COMMAND's help alone.
    if (split.words.front() == "help") {
        if (split.words.size() > 2) {
            *error = "help takes at most one command";
            return false;
        }
        const std::string& asked = split.words.back();
        const CliCommandRow* row = FindCommandRow(asked);
        if (split.words.size() == 2 && row == nullptr) {
            *error = WithSuggestion("help: unknown command '" + QuoteForMessage(asked) + "'", asked,
                                    words, "");
            return false;
        }
        options->command = split.words.size() == 2 ? row->command : Command::kNone;
        options->help = true;
        return true;
    }
    const std::string& command = split.words.front();
    const CliCommandRow* row = FindCommandRow(command);
    if (row == nullptr) {
        *error = WithSuggestion("unknown command '" + QuoteForMessage(command) + "'", command,
                                words, "");
        return false;
    }
    options->command = row->command;
    bool quiet = false;
    bool verbose = false;
    for (const Given& g : split.options) {
        if ((g.rule->commands & Bit(options->command)) == 0) {
            *error = "option " + g.spelled + " does not apply to " + command;
            return false;
        }
        if (!g.rule->apply(g.spelled, g.value, options, error)) {
            return false;
        }
        error->clear();
        quiet = quiet || options->verbosity == CliOptions::kQuiet;
        verbose = verbose || options->verbosity == CliOptions::kVerbose;
    }
    if (quiet && verbose) {
        *error = "--quiet and --verbose cannot be used together";
        return false;
    }
    options->names.assign(split.words.begin() + 1, split.words.end());
    if (options->inventory && options->json) {
        *error = "--inventory and --json cannot be used together: each is the whole output";
        return false;
    }
    if (!options->gitExclude.empty() && options->git.empty()) {
        *error = "--git-exclude goes with --git REPO";
        return false;
    }
    return row->takeNames(row->word, options, error);
}

bool TakeEnvironmentPassword(const char* value, CliOptions* options, std::string* error) {
    // An empty variable is as good as none.
    if (options->hasPassword || value == nullptr || *value == '\0') {
        return true;
    }
    if (!setting_rules::IsPassword(value)) {
        *error = "VELQO_PASSWORD needs " + setting_rules::PasswordRule();
        return false;
    }
    options->password = value;
    options->hasPassword = true;
    options->passwordFromEnvironment = true;
    return true;
}

const char* CommandName(Command command) {
    const CliCommandRow* row = FindCommandRow(command);
    return row == nullptr ? nullptr : row->word;
}

bool OptionAppliesTo(const char* longName, Command command) {
    for (const OptionRule& rule : kOptionRules) {
        if (std::string(rule.longName) == longName) {
            return (rule.commands & Bit(command)) != 0;
        }
    }
    return false;
}

#pragma once
// Where the program finds its read-only resources and where it writes.
#include <string>

namespace brindle {

class AppPaths {
public:
    // Folder of the running executable, ending with '/'.
    static std::string ExecutableDir();

    // Read-only resources: <executable dir>/../share/brindle-analyzer/, ending with '/'.
    static std::string ResourceDir();

    // The user folder: $BRINDLE_ANALYZER_HOME, else $XDG_DATA_HOME/brindle-analyzer/,
    // else ~/.local/share/brindle-analyzer/; always ending with '/'.
    static std::string UserDir();

    static std::string OptionsFile();  // <user>/Options.xml
    static std::string ProfilesFile();  // <user>/Profiles.xml
    static std::string SettingsFile();  // <user>/settings.ini
    static std::string DataDir();  // <user>/Data/
    static std::string DnsCacheFile();  // <user>/Data/dns.dat
    static std::string DataLogDir();  // <user>/DataLog/
    static std::string LanguagesDir();  // <user>/Languages/
    static std::string TmpRootDir();  // <user>/Tmp/
    static std::string TmpDir();  // <user>/Tmp/<process id>/
    static std::string TemplateHtmlDir();  // <resources>/Template/html/standard/
    static std::string TemplateWordDir();  // <resources>/Template/word/
    static std::string SampleDir();  // <resources>/Sample/
    static std::string HelpDir();  // <resources>/help/

    // GeoIP.dat: the resource folder's copy when present, else Debian's.
    static std::string GeoIPCountryFile();

    // The first folder that could not be made (empty when all are there) and the system's
    // reason.
    struct TFolderFailure {
        std::string Folder;
        std::string Reason;
    };
    // Creates the user folder and the folders that start-up needs; the process Tmp folder
    // is private (0700).
    static TFolderFailure CreateUserFolders();

    // What killed runs left behind: the Tmp folders of processes that no longer run, and
    // the temporary files of interrupted saves in the user folder, Data/ and the work
    // folders below DataLog/. Returns the number removed.
    static int RemoveLeftovers();

    // Removes the process Tmp folder and everything in it.
    static void RemoveTmpDir();
};

}  // namespace brindle

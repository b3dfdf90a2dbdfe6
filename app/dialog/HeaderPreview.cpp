#include "app/dialog/HeaderPreview.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "convert/ConversionDriver.h"
#include "convert/StringTable.h"
#include "platform/FileSystem.h"

namespace {

// A folder of its own under the system's temporary folder, removed with all it
// holds when the object goes.
class TemporaryFolder {
public:
    TemporaryFolder() {
        std::error_code e;
        std::string pattern = (std::filesystem::temp_directory_path(e) / "qern-header-XXXXXX").string();
        if (e) pattern = "/tmp/qern-header-XXXXXX";
        if (mkdtemp(pattern.data()))
            path_ = pattern;
        else
            error_ = errno;
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::string& Path() const { return path_; }  // empty when it could not be made
    int Error() const { return error_; }

private:
    std::string path_;
    int error_ = 0;
};

}  // namespace

std::string ObservationHeaderOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t end = text.find("END OF HEADER");
    if (end == std::string::npos) return {};
    const size_t lineEnd = text.find('\n', end);
    return text.substr(0, lineEnd == std::string::npos ? text.size() : lineEnd + 1);
}

std::optional<std::string> PreviewObservationHeader(const ConversionRequest& request, ConversionUi& ui) {
    TemporaryFolder folder;
    if (folder.Path().empty()) {
        ui.ShowMessage(kStrWriteFailed, MessageIcon::Stop, {"/tmp", ErrorText(folder.Error())});
        return std::nullopt;
    }
    ConversionRequest r = request;
    r.silent = true;  // nothing is asked: the preselected answers, the position of the first fix
    r.logFile = false;
    r.quality = false;
    r.qualityPlots = false;
    r.observationPath = folder.Path() + "/header.obs";
    r.navigationPath = folder.Path() + "/header.nav";
    // A state of its own: the window's conversions go on from theirs. What carries
    // over (phase offsets, the solver's references) never reaches the header.
    ConversionState state;
    if (!RunConversion(r, state, ui).success) return std::nullopt;
    std::string header = ObservationHeaderOf(r.observationPath);
    if (header.empty()) return std::nullopt;
    return header;
}

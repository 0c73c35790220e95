#include "guide_place.h"

namespace {

// The folder `levels` folders up from `folder` (which ends with a separator),
// with its separator; empty when there are not that many.
std::u16string_view folderUp(std::u16string_view folder, int levels) {
    for (int i = 0; i < levels; ++i) {
        if (folder.size() < 2) {
            return {};
        }
        const std::size_t cut = folder.substr(0, folder.size() - 1).find_last_of(u"\\/");
        if (cut == std::u16string_view::npos) {
            return {};
        }
        folder = folder.substr(0, cut + 1);
    }
    return folder;
}

} // namespace

std::u16string guideFileName(UiLanguage language) {
    return language == UiLanguage::Chinese ? u"guide.zh.md" : u"guide.md";
}

std::vector<std::u16string> guideCandidates(std::u16string_view programFolder,
                                            UiLanguage language) {
    const UiLanguage other =
        language == UiLanguage::Chinese ? UiLanguage::English : UiLanguage::Chinese;
    std::vector<std::u16string> folders{std::u16string(programFolder)};
    const std::u16string_view source = folderUp(programFolder, 2);
    if (!source.empty()) {
        folders.emplace_back(source);
    }
    std::vector<std::u16string> paths;
    for (UiLanguage each : {language, other}) {
        for (const std::u16string& folder : folders) {
            paths.push_back(folder + u"docs\\" + guideFileName(each));
        }
    }
    return paths;
}

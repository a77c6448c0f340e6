#include "editor/WriteFailureAlert.h"

namespace
{
/** Longest file name most file systems take, in bytes; a file is written beside a temporary
    copy whose name adds up to 13 more before the extension. */
constexpr int longestFileName = 255;
constexpr int temporaryNameExtra = 13;
} // namespace

juce::String describeWriteFailure (const juce::File& target)
{
    const auto folder = target.getParentDirectory();

    if (target.isDirectory())
        return "A folder of that name is in the way.";

    if (! folder.isDirectory())
        return "The folder " + folder.getFullPathName() + " does not exist.";

    if (! folder.hasWriteAccess())
        return "There is no permission to write in the folder " + folder.getFullPathName() + ".";

    if (target.exists() && ! target.hasWriteAccess())
        return "The existing file is locked or read-only.";

    if ((int) target.getFileName().getNumBytesAsUTF8() + temporaryNameExtra > longestFileName)
        return "The name is too long for the file system.";

    return "The disk may be full.";
}

void showWriteFailure (const juce::File& target, const juce::String& consequence, juce::Component* associatedComponent)
{
    juce::AlertWindow::showMessageBoxAsync (juce::MessageBoxIconType::NoIcon, "WARNING",
                                            target.getFullPathName() + " could not be written. " + consequence + "\n\n"
                                                + describeWriteFailure (target),
                                            {}, associatedComponent);
}

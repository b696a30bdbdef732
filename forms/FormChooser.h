#pragma once

#include "core/String.h"

#include <cstdint>
#include <vector>

class QWidget;

namespace lumavine {

// The platform's colour, file and folder choosers as the form controls use
// them. Tests put their own in place so that no modal chooser waits for a
// person. Every operation answers false when the user cancels.
class FormChooser {
public:
    virtual ~FormChooser() = default;

    // Red, green and blue only; the alpha of `rgb` is ignored and the answer is opaque.
    virtual bool chooseColor(QWidget* parent, std::uint32_t& rgb);
    // `filters` is a "|"-separated list of description and pattern pairs ending in "|".
    virtual bool chooseFile(QWidget* parent, const String& defaultExtension, const String& filters, String& path);
    // Several existing files at once; false when none was chosen.
    virtual bool chooseFiles(QWidget* parent, const String& filters, std::vector<String>& paths);
    virtual bool chooseDirectory(QWidget* parent, const String& title, String& path);
    // Opens a file or web location the way the desktop does.
    virtual bool open(QWidget* parent, const String& location);

    // The chooser in use; null restores the platform's.
    static FormChooser& current();
    static void setCurrent(FormChooser* chooser);
    // "Desc|*.a;*.b|All|*.*||" in the form the platform's file dialog reads.
    static String toFileDialogFilter(const String& filters);
};

}

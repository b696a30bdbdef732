#include "FormTestSupport.h"

#include "xml/Document.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

// Shows a form document offscreen and saves it as a picture, so that a
// layout can be looked at without running the designer:
//     form_snapshot FORM.xml OUT.png [FORM-NAME]
int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: form_snapshot FORM.xml OUT.png [FORM-NAME]\n");
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    lumavine::Document document;
    if (!document.load(lumavine::String(argv[1])) || !document.documentElement()) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    lumavine::String formName = argc > 3 ? lumavine::String(argv[3]) : lumavine::String();
    if (!lumavine::saveFormSnapshot(&document, lumavine::String(argv[2]), formName)) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}

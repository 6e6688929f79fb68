// The menu file: whatever a file holds, loading it, saving the menu and loading again gives the
// same menu (a line break inside a value comes back as a blank), and a second save changes nothing.
#include "FuzzCheck.h"
#include "MenuFile.h"
#include "Reference.h"

namespace {
QString withoutLineBreaks(QString text) {
    return text.replace(u'\r', u' ');
}

MenuList asStored(const MenuList &menu) {
    MenuList stored;
    for (MenuCommand entry : menu) {
        for (QString *text : {&entry.bezeichnung, &entry.typ, &entry.aktion, &entry.wert, &entry.gan, &entry.lv,
                              &entry.balloon, &entry.msg, &entry.sound, &entry.soundname})
            *text = withoutLineBreaks(*text);
        stored.append(entry);
    }
    return stored;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString path = Reference::tempFile(kMenuFileName);
    Reference::writeFile(path, Reference::bytes(data, size));
    const MenuFileContent loaded = LoadMenuFile(path);
    FUZZ_CHECK(loaded.errorString.isEmpty());
    for (const MenuCommand &entry : loaded.menu) {
        FUZZ_CHECK(!entry.bezeichnung.isEmpty());
        FUZZ_CHECK(entry.stateIcon == entry.symbol);
    }

    QString error;
    FUZZ_CHECK(saveMenuFile(path, loaded.menu, &error));
    const QByteArray saved = Reference::readFile(path);
    const MenuFileContent reloaded = LoadMenuFile(path);
    FUZZ_CHECK(reloaded.errorString.isEmpty());
    FUZZ_CHECK(reloaded.menu == asStored(loaded.menu));
    FUZZ_CHECK(!reloaded.lacksNotificationKeys || loaded.menu.isEmpty());

    FUZZ_CHECK(saveMenuFile(path, reloaded.menu, &error));
    FUZZ_CHECK(Reference::readFile(path) == saved);
    return 0;
}

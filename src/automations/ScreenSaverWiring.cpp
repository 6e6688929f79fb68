#include "ScreenSaverWiring.h"

#include "Frame.h"
#include "LinkAccess.h"
#include "PlatformServices.h"
#include "ProgramSettings.h"
#include "ScreenSaverPanel.h"
#include "ScreenSaverValue.h"

ScreenSaverWiring::ScreenSaverWiring() = default;

ScreenSaverWiring::~ScreenSaverWiring() = default;

void ScreenSaverWiring::attach(Frame &frame) {
    ProgramSettings &settings = frame.settings();
    m_value =
        std::make_unique<ScreenSaverValue>(*frame.services().screenSaver, [&settings] { return settings.screen(); });
    frame.link().addValueTarget(m_value.get());

    auto *panel = new ScreenSaverPanel;
    panel->setBinding(settings.screen());
    QObject::connect(&settings, &ProgramSettings::screenChanged, panel, &ScreenSaverPanel::setBinding);
    QObject::connect(panel, &ScreenSaverPanel::bindingChanged, &settings, &ProgramSettings::setScreen);
    frame.placeOnTab(WorkPage::System, panel);
    frame.addDropTarget(panel, ScreenSaverPanel::kDropTargetCaption,
                        [panel](const DraggedObject &object) { return panel->dropObjectOnScreenSaver(object); });
}

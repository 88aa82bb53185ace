#pragma once

#include "app/lumivex.h"

#include <QImage>
#include <QPushButton>
#include <QTest>
#include <QWidget>

#include <functional>

// The scripted source, which also lets a test look at the windows at the moment the game
// window's load step seeds it.
class SeedWatch final : public ui::RandomSource {
public:
    explicit SeedWatch(ui::ScriptedRandom& script) : script_(script) {}
    std::function<void()> onSeed;

    void seedFromClock() override {
        script_.seedFromClock();
        if (onSeed)
            onSeed();
    }
    float next() override { return script_.next(); }

private:
    ui::ScriptedRandom& script_;
};

// Both windows as start-up builds them, on a manual clock, a scripted random source,
// recorded message boxes and a recorded program end.
struct IntroFixture {
    ui::ManualClock clock;
    ui::ScriptedRandom random;
    SeedWatch seeds{random};
    ui::RecordingMessageBoxes boxes;
    ui::RecordingProgram program;
    ui::Services services{clock, seeds, boxes, program};
    app::Windows windows{services};
    game::frmlumi& game = windows.frmlumi;
    intro::frmservices& intro = windows.frmservices;

    IntroFixture() { random.repeatWhenEmpty(0); }

    // Start-up: the intro window loaded, with the game window inside its load step, and shown.
    intro::frmservices& open() {
        windows.open();
        return intro;
    }

    void clickService() { QTest::mouseClick(intro.cmdservice->button(), Qt::LeftButton); }

    // What the player sees of a widget, one image pixel per logical pixel.
    static QImage look(QWidget* widget) {
        QImage image = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
        return image.scaled(widget->size());
    }
};

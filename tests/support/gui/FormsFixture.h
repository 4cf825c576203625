#pragma once

// For GUI tests only (the test links gyvkt_gui): a throw-away data root with a key file, the
// scripted platform, the shared state and the fifteen windows created in their order.

#include "ScriptedPlatform.h"
#include "TestRoot.h"
#include "app/AppState.h"
#include "app/GuiForms.h"

#include <memory>

struct FormsFixture {
    TestRoot testRoot;
    ScriptedPlatform platform;
    std::unique_ptr<AppState> state;
    Forms forms;

    // prepare() runs on the fresh root before any window exists (to lay down files).
    template <typename Prepare>
    explicit FormsFixture(Prepare prepare) {
        testRoot.put(QStringLiteral("gy_vkt/magyar.gcr"), TestRoot::sampleKey());
        prepare(testRoot);
        state = std::make_unique<AppState>(testRoot.root(), platform);
        createForms(*state, forms);
    }
    FormsFixture() : FormsFixture([](TestRoot&) {}) {}
};

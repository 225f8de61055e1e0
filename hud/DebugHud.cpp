#include "hud/DebugHud.h"

void DebugHud::update(float) {}
void DebugHud::draw() {}

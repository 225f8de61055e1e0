#include "world/PlayerController.h"

void PlayerController::update(float) {}

#include "app/AppObjects.h"

int screenWidth = 1024;
int screenHeight = 768;
AppObjects appObjects;

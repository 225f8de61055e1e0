#include "app/Startup.h"

#include "app/AppObjects.h"

void createObjects(GLFWwindow*, int*, int*)
{
}

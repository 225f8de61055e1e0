#include "world/Scene.h"

void Scene::update(double) {}
void Scene::draw() {}
void Scene::onResize() {}

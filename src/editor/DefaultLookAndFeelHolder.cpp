#include "editor/DefaultLookAndFeelHolder.h"

DefaultLookAndFeelHolder::DefaultLookAndFeelHolder() {}
DefaultLookAndFeelHolder::~DefaultLookAndFeelHolder() {}

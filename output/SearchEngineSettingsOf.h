#pragma once
#include "output/SearchEnginePush.h"

class CSetupManager;

// The search engines' settings of the page 提交到搜索引擎.
SearchEngineSettings SearchEngineSettingsOf(const CSetupManager& setup);

#pragma once
#include "output/AutoSave.h"
#include "output/SearchEnginePush.h"

class CSetupManager;

// What the settings ask of the output beside the crawl itself.
// The auto-save page's settings (自动保存设置).
AutoSaveOptions AutoSaveOptionsOf(const CSetupManager& setup);
// The search engines' settings of the page 提交到搜索引擎.
SearchEngineSettings SearchEngineSettingsOf(const CSetupManager& setup);

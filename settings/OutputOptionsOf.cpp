#include "settings/OutputOptionsOf.h"

#include "settings/CSetupManager.h"

AutoSaveOptions AutoSaveOptionsOf(const CSetupManager& setup) {
  AutoSaveOptions options;
  options.enabled = setup.autoSaveEnabled != 0;
  options.intervalSeconds = setup.autoSaveInterval;
  options.path = setup.autoSavePath;
  options.gzip = setup.autoSaveGzip != 0;
  return options;
}

SearchEngineSettings SearchEngineSettingsOf(const CSetupManager& setup) {
  SearchEngineSettings settings;
  settings.baiduSite = setup.baiduSite;
  settings.baiduToken = setup.baiduToken;
  if (!setup.baiduEndpoint.empty()) settings.baiduEndpoint = setup.baiduEndpoint;
  settings.indexNowKey = setup.indexNowKey;
  if (!setup.indexNowEndpoint.empty()) settings.indexNowEndpoint = setup.indexNowEndpoint;
  return settings;
}

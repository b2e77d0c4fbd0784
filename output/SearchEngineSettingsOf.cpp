#include "output/SearchEngineSettingsOf.h"

#include "settings/CSetupManager.h"

SearchEngineSettings SearchEngineSettingsOf(const CSetupManager& setup) {
  SearchEngineSettings settings;
  settings.baiduSite = setup.baiduSite;
  settings.baiduToken = setup.baiduToken;
  if (!setup.baiduEndpoint.empty()) settings.baiduEndpoint = setup.baiduEndpoint;
  settings.indexNowKey = setup.indexNowKey;
  if (!setup.indexNowEndpoint.empty()) settings.indexNowEndpoint = setup.indexNowEndpoint;
  return settings;
}

# Read by ctest after the discovered tests (see CMakeLists.txt).
set(long_tests
  GameTest.ScriptedPlayerRunsTheChainRestsWorkersAndBuilds
  GameTest.SaveAndLoadMidGameThenPlayOn)
set_tests_properties(${long_tests} PROPERTIES LABELS "sim;long" COST 800)
# A few seconds each: ahead of the short ones.
set(slow_tests
  SaveTest.FlippedBytesNeverLeaveABrokenWorld
  CtrlPlaySaves.EveryPairPlaySavesLoadsAndSavesAgainAsItWas
  FrameDraws.SameCallsForASmallAndAFullCrowd
  Draw.CrowdIsOneInstancedCallAndRestingMembersVanish
  StatsGame.FinishedFirstLayerStoresTheAchievementOnceAndItIsReadBack
  WorldRun.TheProductionChainPaysSilver
  WorldStateHash.RunningGameEndsInTheRecordedState)
set_tests_properties(${slow_tests} PROPERTIES COST 50)

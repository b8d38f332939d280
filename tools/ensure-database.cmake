# Makes the delivered database in DIR unless one is already there.
if(NOT EXISTS "${DIR}/trovix.mdb")
    execute_process(COMMAND "${TOOL}" create "${DIR}" RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "could not create ${DIR}/trovix.mdb")
    endif()
endif()

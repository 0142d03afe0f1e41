# Fails the build when a helper-command template grows past its budget.
file(SIZE ${FILE} size)
get_filename_component(name ${FILE} NAME)
message(STATUS "${name}: ${size} bytes (budget ${BUDGET})")
if(size GREATER BUDGET)
  message(FATAL_ERROR "${name} is ${size} bytes, over the budget of ${BUDGET}")
endif()

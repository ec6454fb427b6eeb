# Twenty objects linked into a program, as a hand-written project builds
# them: CXX is the driver, -MMD -MP keep the header dependencies in .d files
# beside the objects.  prog-shared-jobs links with a "+" recipe, which
# leaves make's job server open to the driver.
objects := $(patsubst %.cc,%.o,$(sort $(wildcard src*.cc)))

prog: $(objects)
	$(CXX) -o $@ $(objects)

prog-shared-jobs: $(objects)
	+$(CXX) -o $@ $(objects)

%.o: %.cc
	$(CXX) -MMD -MP -c -o $@ $<

-include $(objects:.o=.d)

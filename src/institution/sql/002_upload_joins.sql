-- The block upload of new examinations joins each of its steps' rows by hash. The planner cannot
-- see how many items an array parameter holds, guesses one, and would match every inserted row
-- against every item: a block's cost growing with its square.
ALTER FUNCTION gyvkt.upload_new(text, gyvkt.upload_item[]) SET enable_nestloop = off;

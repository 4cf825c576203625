-- The block upload of new examinations joins each of its steps' rows by hash. The planner cannot
-- see how many items an array parameter holds, guesses one, and would match every inserted row
-- against every item: a block's cost growing with its square.
CREATE OR REPLACE FUNCTION gyvkt.upload_new(p_client text, p_items gyvkt.upload_item[])
    RETURNS TABLE (stored_name text, stored_version uuid)
    LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp SET enable_nestloop = off AS $$
DECLARE
    me gyvkt.member := gyvkt.me();
BEGIN
    IF me.id IS NULL OR me.kind NOT IN ('examiner', 'lead') THEN
        RAISE EXCEPTION 'Vizsgálatot csak vizsgálatvezető tölthet fel.' USING ERRCODE = 'insufficient_privilege';
    END IF;
    PERFORM gyvkt.check_client(p_client);
    RETURN QUERY
    WITH items AS (SELECT * FROM unnest(p_items) i WHERE gyvkt.valid_file_name(i.file_name)),
    made AS (INSERT INTO gyvkt.examination (owner_id, owner_login, team_id, file_name)
             SELECT me.id, me.login, me.team_id, i.file_name FROM items i
             ON CONFLICT (owner_id, file_name) DO NOTHING
             RETURNING id, file_name),
    stored AS (INSERT INTO gyvkt.content (examination_id, sha256, bytes, code, name, sex, age, exam_date, examiner,
                                          scored, gcr_percent, gcr_class, exam_year, exam_month, scoring, evaluation)
               SELECT m.id, sha256(i.bytes), i.bytes, i.code, i.name, i.sex, i.age, i.exam_date, i.examiner,
                      i.scored, i.gcr_percent, i.gcr_class, i.exam_year, i.exam_month, i.scoring, i.evaluation
               FROM made m JOIN items i ON i.file_name = m.file_name
               RETURNING id, examination_id),
    versions AS (INSERT INTO gyvkt.version (examination_id, content_id, uploaded_by, client, client_addr)
                 SELECT c.examination_id, c.id, session_user, p_client, inet_client_addr() FROM stored c
                 RETURNING id, examination_id)
    SELECT m.file_name, v.id FROM versions v JOIN made m ON m.id = v.examination_id;
END
$$;
